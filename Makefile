# Wraps CMake. `make run` builds and starts tipsrad; `make test` builds and
# runs every test. Both install what they need on a fresh Debian machine.

BUILD := build/release
JOBS ?= 2

.PHONY: run test build clean

build:
	@tools/need cmake ninja g++ gtest python3
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/tipsrad

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf build
