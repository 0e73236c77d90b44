# Front door: `make test` and `make run` do all the set-up on a fresh Debian machine.
SHELL := /bin/bash
.SHELLFLAGS := -eu -o pipefail -c
JOBS ?= $(shell nproc)
BUILD := build
export WINEPREFIX := $(CURDIR)/$(BUILD)/wineprefix
export WINEPREFIX32 := $(CURDIR)/$(BUILD)/wineprefix32

CMAKE_NATIVE := cmake --no-warn-unused-cli -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Release
CMAKE_ASAN := cmake --no-warn-unused-cli -S . -B $(BUILD)/asan -DCMAKE_BUILD_TYPE=Debug -DQUILLANE_SANITIZE=ON
CMAKE_WIN32 := cmake --no-warn-unused-cli -S . -B $(BUILD)/win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
CMAKE_WIN64 := cmake --no-warn-unused-cli -S . -B $(BUILD)/win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

.PHONY: all deps native asan win32 win64 test bench run dist clean

all: win32 win64

deps:
	@tools/install-deps

native: deps
	$(CMAKE_NATIVE) -DQUILLANE_BENCH=OFF >/dev/null
	cmake --build $(BUILD)/native -j $(JOBS)

asan: deps
	$(CMAKE_ASAN) >/dev/null
	cmake --build $(BUILD)/asan -j $(JOBS)

# The product, 32-bit Quillane.exe, tested under 32-bit Wine (emulated by qemu where the kernel runs no i386 code).
win32: deps
	$(CMAKE_WIN32) >/dev/null
	cmake --build $(BUILD)/win32 -j $(JOBS)

# The same sources for x86_64, tested under 64-bit Wine; the window benchmark runs on it.
win64: deps
	$(CMAKE_WIN64) -DQUILLANE_BENCH=OFF >/dev/null
	cmake --build $(BUILD)/win64 -j $(JOBS)

# Every suite runs, even after one fails; the status says whether all passed. The 32-bit build's
# Wine tests go last: where qemu emulates them they take longest (tools/ctest-windows).
test: native asan win32 win64
	@status=0; \
	ctest --test-dir $(BUILD)/native --output-on-failure -j $(JOBS) || status=1; \
	ctest --test-dir $(BUILD)/asan --output-on-failure -j $(JOBS) || status=1; \
	tools/with-xvfb tools/ctest-windows $(BUILD)/win64 64 -j $(JOBS) || status=1; \
	tools/with-xvfb tools/ctest-windows $(BUILD)/win32 32 -j $(JOBS) || status=1; \
	exit $$status

bench: deps
	cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release -DQUILLANE_TESTS=OFF -DQUILLANE_BENCH=ON >/dev/null
	cmake --build $(BUILD)/bench -j $(JOBS)
	@for b in $(BUILD)/bench/bin/*_bench; do echo "== $$b"; $$b; done
	$(CMAKE_WIN64) -DQUILLANE_BENCH=ON >/dev/null
	cmake --build $(BUILD)/win64 -j $(JOBS)
	@for b in $(BUILD)/win64/bin/*_bench.exe; do [ -e "$$b" ] || continue; echo "== $$b"; XVFB_SCREEN=2000x1300x24 tools/with-xvfb tools/wine-run $$b; done

# Only the two exes: running needs no test built. PATTERN=path/to/file starts with it loaded.
PATTERN ?=
run: deps
	$(CMAKE_WIN32) >/dev/null
	cmake --build $(BUILD)/win32 -j $(JOBS) --target Quillane
	$(CMAKE_WIN64) -DQUILLANE_BENCH=OFF >/dev/null
	cmake --build $(BUILD)/win64 -j $(JOBS) --target Quillane
	tools/run-quillane $(BUILD)/win32/bin/Quillane.exe $(BUILD)/win64/bin/Quillane.exe$(if $(PATTERN), "$(PATTERN)")

# The release zip of the last commit, built twice in two folders and compared; prints its SHA-256.
dist: deps
	/usr/bin/python3 tools/make-dist $(BUILD)/dist $(JOBS)

clean:
	rm -rf $(BUILD)
