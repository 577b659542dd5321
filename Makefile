# Wraps CMake. Each target builds in build/ and first installs what it needs on
# a fresh Debian machine (tools/need); docs/development.md lists them.

SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c

RELEASE := build/release
TESTED := build/test
SANITIZE := build/sanitize
JOBS ?= 2

# Our own builds treat warnings as errors; a plain configure does not.
STRICT := -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
CTEST = . tools/common.sh && ctest --output-on-failure -j $(JOBS) --test-dir
SOURCES = $(shell git ls-files '*.cpp' '*.h' '*.c')
FUZZ := build/fuzz
FUZZ_SECONDS ?= 120
PREFIX ?= /usr/local

# $(call cmake-build,FOLDER,OPTIONS[,TARGET]): configures and builds, quietly.
cmake-build = cmake -S . -B $(1) -G Ninja $(2) >/dev/null && cmake --build $(1) -j $(JOBS) \
  $(if $(3),--target $(3)) | { grep -vx 'ninja: no work to do.' || true; }

.PHONY: run test build build-tested lint fuzz bench install release \
  test-release test-platforms build-web web test-web clean

# The program alone, as a user builds it: no tests, so no GoogleTest or Python.
build:
	@tools/need cmake ninja g++
	@$(call cmake-build,$(RELEASE),-DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF,tipsrad)

build-tested:
	@tools/need cmake ninja g++ gtest python3 pexpect
	@$(call cmake-build,$(TESTED),$(STRICT) -DCMAKE_BUILD_TYPE=Release)

run: build
	@$(RELEASE)/tipsrad

test: build-tested
	@$(call cmake-build,$(SANITIZE),$(STRICT) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIPSRAD_SANITIZE=ON)
	@[ "$$(id -u)" -ne 0 ] || tools/need groff man hardening-check  # else the package test skips
	@echo "== tests, release build"
	@$(CTEST) $(TESTED) | quiet_passes
	@grep -h '^skipped: ' $(TESTED)/Testing/Temporary/LastTest.log || true
	@echo "== tests, sanitized build"
	@$(CTEST) $(SANITIZE) | quiet_passes

# cppcheck cannot see that a benchmark's range-for mutates its State.
lint: build-tested
	@tools/need clang-format clang-tidy cppcheck benchmark
	@echo "== clang-format"
	@clang-format --dry-run --Werror $(SOURCES)
	@echo "== clang-tidy"
	@printf '%s\n' $(filter %.cpp,$(SOURCES)) | \
	  xargs -P $(JOBS) -n 2 clang-tidy -p $(TESTED) --quiet 2>&1 | \
	  { grep -v 'warnings generated' || true; }
	@echo "== cppcheck"
	@cppcheck --enable=warning,style,performance,portability \
	  --error-exitcode=1 --inline-suppr --std=c++20 --quiet --library=googletest \
	  -I src --suppress=missingIncludeSystem --suppress=constParameterCallback:bench/*.cpp \
	  $(filter-out %.h,$(SOURCES))
	@echo "lint: clean"

install: build
	@cmake --install $(RELEASE) --prefix $(PREFIX)

release:
	@tools/need cmake ninja g++ python3 groff lintian debian/control:amd64
	@tools/release

test-release: release
	@tools/test-release

test-platforms:
	@tools/test-platforms

build-web:
	@tools/need cmake ninja cmake/wasm32.cmake
	@$(call cmake-build,build/wasm,-DBUILD_TESTING=OFF --toolchain cmake/wasm32.cmake)
	@rm -rf build/web
	@cmake --install build/wasm --prefix build/web >/dev/null

web: build-web
	@tools/need python3
	@echo "tipsrad: http://127.0.0.1:8000/ (Ctrl-C stops it)"
	@python3 -m http.server 8000 --bind 127.0.0.1 --directory build/web

test-web: build-web
	@tools/need node browsers tests/package-lock.json python3
	@xvfb-run -a node tests/browser_test.mjs build/web build/page-test

bench: build-web
	@tools/need cmake ninja g++ benchmark valgrind time python3 node chromium \
	  tests/package-lock.json bench/package-lock.json
	@$(call cmake-build,build/bench,$(STRICT) -DBUILD_TESTING=OFF -DTIPSRAD_BENCHMARKS=ON)
	@build/bench/bench/generator_bench
	@echo "== end to end"
	@python3 bench/end_to_end.py build/bench/tipsrad build/bench/bench/first_line_peer
	@echo "== the page"
	@node bench/page_bench.mjs build/web

# New inputs collect in build/fuzz/corpus, a failing one in build/fuzz/findings.
fuzz:
	@tools/need cmake ninja clang libfuzzer
	@$(call cmake-build,$(FUZZ),$(STRICT) -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIPSRAD_FUZZ=ON -DBUILD_TESTING=OFF,dialogue_fuzzer)
	@mkdir -p $(FUZZ)/corpus $(FUZZ)/findings
	@$(FUZZ)/dialogue_fuzzer -max_total_time=$(FUZZ_SECONDS) -artifact_prefix=$(FUZZ)/findings/ \
	  $(FUZZ)/corpus fuzz/corpus 2>&1 | tee $(FUZZ)/log | tail -n 5

clean:
	rm -rf build
