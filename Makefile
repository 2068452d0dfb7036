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

.PHONY: all deps configure build test run bench install package clean

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
	rm -rf $(BUILD_DIR)
