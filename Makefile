# Thin front over CMake: `make test` and `make run` do all the set-up on a
# fresh Debian machine, installing the packages they need when missing.
# `make install` (PREFIX, DESTDIR) installs like a desktop program;
# `make package` builds a Debian package.

BUILD_DIR ?= build
PACKAGES  := cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libglx-dev \
             libopengl-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core \
             desktop-file-utils appstream dpkg-dev file
SAMPLE    := $(BUILD_DIR)/sample/UT2004
PREFIX    ?= /usr/local

# The Windows half, cross-built with MinGW-w64 and tested under Wine: the
# cross compiler, Wine, and GoogleTest's sources to build it for Windows.
WINDOWS_PACKAGES  := cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest
WINDOWS_BUILD_DIR := build/windows

.PHONY: all deps configure build test run bench install package clean deps-windows test-windows

all: build

deps:
	@sh tools/install-deps.sh $(PACKAGES)

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
	cd $(WINDOWS_BUILD_DIR) && ctest --output-on-failure --no-tests=error -j2

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
	rm -rf $(BUILD_DIR) $(WINDOWS_BUILD_DIR)
