# Wraps CMake. `make run` builds and starts tipsrad; `make test` builds and
# runs every test, in a normal build and in one with AddressSanitizer and
# UndefinedBehaviorSanitizer. Both install what they need on a fresh Debian
# machine.

SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c

RELEASE := build/release
SANITIZE := build/sanitize
JOBS ?= 2

CXX_SOURCES = $(shell git ls-files '*.cpp')
FORMATTED = $(shell git ls-files '*.cpp' '*.h' '*.c')

FUZZ := build/fuzz
FUZZ_SECONDS ?= 120

PREFIX ?= /usr/local

.PHONY: run test build build-sanitize lint fuzz bench install package clean

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
	@tools/need groff man dpkg-shlibdeps
	@echo "== tests, release build"
	@ctest --test-dir $(RELEASE) --output-on-failure -j $(JOBS)
	@echo "== tests, sanitized build"
	@ctest --test-dir $(SANITIZE) --output-on-failure -j $(JOBS)

# Formatting, clang-tidy and cppcheck, all with warnings as errors. cppcheck
# cannot see that a benchmark's range-for mutates its State.
CPPCHECK_BENCH := --suppress=constParameterCallback:bench/generator_bench.cpp
lint: build
	@tools/need clang-format clang-tidy cppcheck
	@echo "== clang-format" && clang-format --dry-run --Werror $(FORMATTED)
	@echo "== clang-tidy" && printf '%s\n' $(CXX_SOURCES) | \
	  xargs -P $(JOBS) -n 2 clang-tidy -p $(RELEASE) --quiet 2>&1 | \
	  { grep -v 'warnings generated' || true; }
	@echo "== cppcheck" && cppcheck --enable=warning,style,performance,portability \
	  --error-exitcode=1 --inline-suppr --std=c++20 --quiet --library=googletest \
	  -I src --suppress=missingIncludeSystem $(CPPCHECK_BENCH) \
	  $(CXX_SOURCES) $(filter %.c,$(FORMATTED))
	@echo "lint: clean"

# bin/tipsrad and share/man/man1/tipsrad.1 under PREFIX.
install: build
	@cmake --install $(RELEASE) --prefix $(PREFIX)

# build/release/tipsrad_<version>_<arch>.deb, checked by lintian.
package: build
	@tools/need dpkg-shlibdeps lintian
	@cd $(RELEASE) && cpack
	@lintian --allow-root --fail-on error $(RELEASE)/tipsrad_*.deb && echo "lintian: no errors"

# The generator against the standard library, then the whole program.
bench: build
	@tools/need benchmark valgrind time
	@cmake -S . -B $(RELEASE) >/dev/null && cmake --build $(RELEASE) -j $(JOBS)
	@$(RELEASE)/generator_bench
	@echo "== end to end"
	@python3 bench/end_to_end.py $(RELEASE)/tipsrad $(RELEASE)/first_line_peer

# A bounded fuzz campaign over the dialogue's input; FUZZ_SECONDS lengthens it.
# New inputs collect in build/fuzz/corpus, failing ones in build/fuzz/findings.
fuzz:
	@tools/need cmake ninja clang libfuzzer
	@cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIPSRAD_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS) --target dialogue_fuzzer
	@mkdir -p $(FUZZ)/corpus $(FUZZ)/findings
	@$(FUZZ)/dialogue_fuzzer -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ)/findings/ $(FUZZ)/corpus fuzz/corpus > $(FUZZ)/log 2>&1 || true
	@runs=$$(grep -o 'number_of_executed_units: *[0-9]*' $(FUZZ)/log | grep -o '[0-9]*$$'); \
	  found=$$(ls $(FUZZ)/findings | wc -l); \
	  echo "fuzz: $$runs executions in $(FUZZ_SECONDS) s, $$found findings (log: $(FUZZ)/log)"
	@test -z "$$(ls $(FUZZ)/findings)"

clean:
	rm -rf build
