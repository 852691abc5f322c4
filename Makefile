# Front door of the build. `make` builds build/quelta; `make run`, `make test`, `make bench`,
# `make install` (PREFIX=/usr/local by default, DESTDIR honoured) and `make package` (a .deb).
# `make fuzz` runs the fuzz targets (FUZZ_SECONDS each, FUZZ_TARGETS to pick some) and `make lsan`
# the unit tests under LeakSanitizer, both with clang in build folders of their own.
BUILD      := build
ASAN_BUILD := build-asan
FUZZ_BUILD := build-fuzz
LSAN_BUILD := build-lsan
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
CLANG      := CC=clang-14 CXX=clang++-14
JOBS       := $(shell nproc 2>/dev/null || echo 2)
# Tests at a time: more than the cores, since the longest tests mostly wait for the real program.
TEST_JOBS  := $(shell echo $$(( $(JOBS) + 2 )))
# Line tables only (-g1): enough for backtraces and sanitizer reports, and much quicker to build.
CMAKE_ARGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"

.PHONY: all deps configure run test test-normal test-asan bench install package clean fuzz lsan

all: configure
	cmake --build $(BUILD) -j$(JOBS) --target quelta

deps:
	@scripts/install-deps

configure: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) $(CMAKE_ARGS)

run: all
	./$(BUILD)/quelta

test: test-normal test-asan

# The benchmarks are built too (not run): nothing else would notice when a change breaks them.
test-normal: configure
	cmake --build $(BUILD) -j$(JOBS) --target all benches
	cd $(BUILD) && ctest --output-on-failure -j$(TEST_JOBS)

test-asan: deps
	@test -f $(ASAN_BUILD)/CMakeCache.txt || cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DQUELTA_SANITIZE=ON -DQUELTA_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(TEST_JOBS)

fuzz:
	@scripts/install-deps --fuzz
	@test -f $(FUZZ_BUILD)/CMakeCache.txt || $(CLANG) cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELTA_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target quelta_fuzz_targets
	FUZZ_SECONDS=$(FUZZ_SECONDS) tests/fuzz/run $(FUZZ_BUILD) $(FUZZ_TARGETS)

# The unit tests with LeakSanitizer alone (AddressSanitizer is test-asan's job). Leaks inside Qt,
# fontconfig and the system libraries are suppressed (tests/lsan.supp); ours are not.
lsan:
	@scripts/install-deps --fuzz
	@test -f $(LSAN_BUILD)/CMakeCache.txt || $(CLANG) cmake -S . -B $(LSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUELTA_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="-fsanitize=leak -fno-omit-frame-pointer" -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=leak
	cmake --build $(LSAN_BUILD) -j$(JOBS) --target quelta_unit_tests
	cd $(LSAN_BUILD) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=1:report_objects=1 \
	  ctest --test-dir tests/unit --output-on-failure

bench: configure
	cmake --build $(BUILD) -j$(JOBS) --target quelta benches
	bench/run $(BUILD)

PREFIX ?= /usr/local

install: all
	cmake --install $(BUILD) --prefix $(PREFIX)

package: all
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(LSAN_BUILD)
