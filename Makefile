# Wraps CMake. `make run` builds and starts tipsrad; `make test` builds and
# runs every test, in a normal build and in one with AddressSanitizer and
# UndefinedBehaviorSanitizer. Both install what they need on a fresh Debian
# machine.

RELEASE := build/release
SANITIZE := build/sanitize
JOBS ?= 2

.PHONY: run test build build-sanitize lint clean

build:
	@tools/need cmake ninja g++ gtest python3
	@cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

build-sanitize:
	@tools/need cmake ninja g++ gtest python3
	@cmake -S . -B $(SANITIZE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTIPSRAD_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE) -j $(JOBS)

run: build
	@$(RELEASE)/tipsrad

test: build build-sanitize
	@echo "== tests, release build"
	@ctest --test-dir $(RELEASE) --output-on-failure -j $(JOBS)
	@echo "== tests, sanitized build"
	@ctest --test-dir $(SANITIZE) --output-on-failure -j $(JOBS)

clean:
	rm -rf build
