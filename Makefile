# Front end for the CMake build.  `make check` is what CI runs.
PREFIX ?= /usr/local
JOBS   ?= $(shell nproc 2>/dev/null || echo 2)
BUILD  ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

CMAKE_FLAGS = -DFITSTOOLS_WERROR=ON -DFITSTOOLS_BENCH=ON

.PHONY: all deps build check check-normal check-asan check-fuzz fuzz fuzz-build demo install bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The whole suite twice: a normal build, then one under AddressSanitizer and
# UndefinedBehaviorSanitizer; then each fuzz target for a few seconds.
check: check-normal check-asan check-fuzz

check-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

check-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DFITSTOOLS_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DFITSTOOLS_FUZZ=ON -DFITSTOOLS_TESTS=OFF \
	  -DFITSTOOLS_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFITSTOOLS_FUZZ_SECONDS=$(SECONDS_EACH)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

check-fuzz:
	$(MAKE) fuzz-build SECONDS_EACH=5
	cd $(FUZZ_BUILD) && ctest -L fuzz --output-on-failure

# Every fuzz target for FUZZ_SECONDS (default 60) each.
fuzz:
	$(MAKE) fuzz-build SECONDS_EACH=$(FUZZ_SECONDS)
	cd $(FUZZ_BUILD) && ctest -L fuzz --output-on-failure --timeout $$(( $(FUZZ_SECONDS) * 3 + 60 ))

demo: build
	@scripts/demo.sh $(BUILD)

bench: build
	@bench/run-all.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) demo
