# Trelvane: cross-built for Windows with MinGW-w64, tested under Wine.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all prereqs configure build test run dist bench clean

all: build

prereqs:
	tools/ensure-prereqs.sh

configure: prereqs
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The house rules first (no function of the program over 60 lines), then the suites.
test: build
	python3 tools/check-function-length.py
	tools/run-tests.sh $(BUILD)

# make run ARGS="a.txt b.txt": the program under Wine with the paths on its
# command line; without a display, a picture of its window in build/trelvane.png.
run: build
	tools/run-program.sh $(BUILD) $(ARGS)

# A zip of the program and its help, ready to copy to Windows.
dist: build
	cmake --build $(BUILD) --target dist

bench: build
	tools/run-bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)
