# Entry points of the suite. `make demo` builds the programs and runs the
# work flows on the sample data, `make test` builds everything and runs every
# test. Both first check the Debian packages they need (installing them when
# run as root, tools/dependencies.sh).
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
# Seconds each fuzz target runs (`make fuzz`), the targets (all when empty)
# and the clang that builds them.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
FUZZ_CXX ?= clang++

# Where `make install` puts the programs (bin/ below it).
PREFIX ?= /usr/local
# What the demo runs: the nine programs and the sample-data tools.
DEMO_TARGETS = stelvar murgel polvane talvern vorlix traskel drelwin kestrom zonrik make_samples compare_heights \
  compare_masks

# What `make install` puts on the PATH.
INSTALL_TARGETS = stelvar murgel polvane talvern vorlix traskel drelwin kestrom zonrik suite-tiles

.PHONY: all build test sanitize fuzz windows demo bench install clean

all: build

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

test:
	sh tools/dependencies.sh test
	$(MAKE) build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && ctest --output-on-failure -j $(JOBS)

# Every reader fuzzed for FUZZ_SECONDS per target under AddressSanitizer and
# UndefinedBehaviorSanitizer (libFuzzer, clang); fails on any finding.
fuzz:
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_FUZZ=ON \
	  $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS) --target suite_fuzzers
	sh fuzz/run_fuzzers.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The nine programs cross-built for Windows (build-windows/bin/*.exe).
windows:
	cmake -S . -B build-windows -DCMAKE_BUILD_TYPE=Release -DSUITE_BUILD_TESTS=OFF \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
	cmake --build build-windows -j $(JOBS)

# Only what the demo needs is built: no test suite.
demo:
	sh tools/dependencies.sh demo
	$(MAKE) $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS) --target $(DEMO_TARGETS)
	sh demo/run_demo.sh $(BUILD_DIR)/bin demo-out

# The nine programs and the tiled runner into $(PREFIX)/bin (no test suite
# is built for it).
install:
	sh tools/dependencies.sh demo
	$(MAKE) $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS) --target $(INSTALL_TARGETS)
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

bench: build
	sh bench/run_bench.sh $(BUILD_DIR)/bin bench-out

clean:
	rm -rf $(BUILD_DIR) build-sanitize build-fuzz build-windows demo-out bench-out
