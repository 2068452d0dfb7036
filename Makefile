# Thin front over CMake: `make test` and `make run` do all the set-up on a
# fresh Debian machine, installing the packages they need when missing.

BUILD_DIR ?= build
PACKAGES  := cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libglx-dev \
             libopengl-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core
# clang and its sanitizer runtimes, for test-sanitize.
CLANG_PACKAGES := clang libclang-rt-dev
SAMPLE    := $(BUILD_DIR)/sample/UT2004
SANITIZE_DIR := build-sanitize

.PHONY: all deps deps-clang configure build test test-sanitize run bench clean

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

# The whole suite built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the test it occurs in (the
# preset sets the runtime options and the leak suppressions).
$(SANITIZE_DIR)/build.ninja: | deps-clang
	cmake --preset sanitize

test-sanitize: deps-clang $(SANITIZE_DIR)/build.ninja
	cmake --build --preset sanitize
	ctest --preset sanitize -j2

run: build
	$(BUILD_DIR)/tools/make_sample_install --force $(SAMPLE) $(BUILD_DIR)/tools/ucc
	cp -f $(BUILD_DIR)/app/quillmere $(SAMPLE)/System/quillmere
	cd $(SAMPLE)/System && ./quillmere

bench: build
	$(BUILD_DIR)/bench/quillmere_bench

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
