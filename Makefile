# Thin front over CMake: `make test` and `make run` do all the set-up on a
# fresh Debian machine, installing the packages they need when missing.
# `make install` (PREFIX, DESTDIR) installs like a desktop program;
# `make package` builds a Debian package.

BUILD_DIR ?= build
PACKAGES  := cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libglx-dev \
             libopengl-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core \
             desktop-file-utils appstream dpkg-dev file
# clang and its sanitizer and libFuzzer runtimes, for test-sanitize and fuzz.
CLANG_PACKAGES := clang libclang-rt-dev
SAMPLE    := $(BUILD_DIR)/sample/UT2004
PREFIX    ?= /usr/local
SANITIZE_DIR := build-sanitize
FUZZ_DIR  := build-fuzz
# Seconds each fuzz target runs in `make fuzz`.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := $(notdir $(wildcard fuzz/corpus/*))

# The Windows half, cross-built with MinGW-w64 and tested under Wine: the
# cross compiler, Wine, and GoogleTest's sources to build it for Windows.
WINDOWS_PACKAGES  := cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest
WINDOWS_BUILD_DIR := build/windows

.PHONY: all deps deps-clang configure build test test-sanitize fuzz run bench install package clean \
        deps-windows test-windows

all: build

deps:
	@sh tools/install-deps.sh $(PACKAGES)

deps-clang:
	@sh tools/install-deps.sh $(PACKAGES) $(CLANG_PACKAGES)

$(BUILD_DIR)/build.ninja: | deps
	cmake --preset default

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build --preset default

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --no-tests=error -j2
	$(MAKE) --no-print-directory test-windows

deps-windows:
	@sh tools/install-deps.sh $(WINDOWS_PACKAGES)

# The folder is the "windows" preset's.
$(WINDOWS_BUILD_DIR)/build.ninja: | deps-windows
	cmake --preset windows

test-windows: deps-windows $(WINDOWS_BUILD_DIR)/build.ninja
	cmake --build --preset windows
	cd $(WINDOWS_BUILD_DIR) && ctest --output-on-failure --no-tests=error --timeout 300 -j2

# The whole suite built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the test it occurs in (the
# preset sets the runtime options and the leak suppressions).
$(SANITIZE_DIR)/build.ninja: | deps-clang
	cmake --preset sanitize

test-sanitize: deps-clang $(SANITIZE_DIR)/build.ninja
	cmake --build --preset sanitize
	ctest --preset sanitize -j2

# Each fuzz target for FUZZ_SECONDS on its seed corpus. What a run adds goes
# to $(FUZZ_DIR)/corpus/NAME, a crash to $(FUZZ_DIR)/artifacts/; the seeds in
# fuzz/corpus/NAME are only read.
$(FUZZ_DIR)/build.ninja: | deps-clang
	cmake --preset fuzz

fuzz: deps-clang $(FUZZ_DIR)/build.ninja
	cmake --build --preset fuzz
	@mkdir -p $(FUZZ_DIR)/artifacts
	@set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t; \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  $(FUZZ_DIR)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_DIR)/artifacts/$$t- $(FUZZ_DIR)/corpus/$$t fuzz/corpus/$$t; \
	done

run: build
	$(BUILD_DIR)/tools/make_sample_install --force $(SAMPLE) $(BUILD_DIR)/tools/ucc
	cp -f $(BUILD_DIR)/app/quillmere $(SAMPLE)/System/quillmere
	cp -f $(BUILD_DIR)/app/quillmere.txt $(SAMPLE)/System/quillmere.txt
	cd $(SAMPLE)/System && ./quillmere

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

package: build
	cd $(BUILD_DIR) && cpack --config CPackConfig.cmake

bench: build
	$(BUILD_DIR)/bench/quillmere_bench

clean:
	rm -rf $(BUILD_DIR) $(WINDOWS_BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
