# Front end for the CMake build.  `make check` is what CI runs.
PREFIX ?= /usr/local
JOBS   ?= $(shell nproc 2>/dev/null || echo 2)
BUILD  ?= build
ASAN_BUILD ?= build-asan

CMAKE_FLAGS = -DFITSTOOLS_WERROR=ON -DFITSTOOLS_BENCH=ON

.PHONY: all deps build check check-normal check-asan demo install bench uninstall clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The whole suite twice: a normal build, then one under AddressSanitizer and
# UndefinedBehaviorSanitizer.
check: check-normal check-asan

check-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

check-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DFITSTOOLS_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

demo: build
	@scripts/demo.sh $(BUILD)

bench: build
	@bench/run-all.sh $(BUILD)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) demo
