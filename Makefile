# The one entry point: builds the three trees (native Linux, MinGW x86_64, MinGW i686) and runs the tests.
#   make          build everything into dist/
#   make test     install missing packages, build, run every test, print one summary line
#   make demo     the main job on the bundled example
#   make screenshots  pictures of the authoring program's main window on its pages (also maximised) and of
#                 every page of the setup wizard, walked under Wine and Xvfb, in build/screenshots, and
#                 the same at 120 pixels per inch in build/screenshots/120dpi
#   make bench    run the benchmarks (not tests)
#   make fuzz     run every fuzz target for longer (FUZZ_SECONDS each, default 600)
#   make size     what fills the setup program's image (i686, the release target): sections and largest parts

JOBS ?= 2
BUILD := build
# Compiler results are cached (ccache, when installed) and shared by every checkout of the project on the
# machine: paths below the checkout count relative to it.
LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
	-DCMAKE_C_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)
WINE_RUN := $(CURDIR)/scripts/wine-run

.PHONY: all test demo screenshots bench fuzz deps native win64 win32 fuzz-tree dist clean size

all: native win64 win32 dist

deps:
	@scripts/install-deps

native:
	@cmake -S . -B $(BUILD)/linux $(CMAKE_FLAGS) -DTESSARO_WIN64_BUILD_DIR=$(CURDIR)/$(BUILD)/win64 \
		-DTESSARO_WIN32_BUILD_DIR=$(CURDIR)/$(BUILD)/win32 >/dev/null
	@cmake --build $(BUILD)/linux -j $(JOBS)

win64:
	@cmake -S . -B $(BUILD)/win64 $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake \
		-DCMAKE_CROSSCOMPILING_EMULATOR=$(WINE_RUN) >/dev/null
	@cmake --build $(BUILD)/win64 -j $(JOBS)

win32:
	@cmake -S . -B $(BUILD)/win32 $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake >/dev/null
	@cmake --build $(BUILD)/win32 -j $(JOBS)

fuzz-tree:
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER) -DTESSARO_TESTS=OFF \
		-DTESSARO_FUZZ=ON "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fsanitize=fuzzer-no-link" \
		"-DCMAKE_C_FLAGS=-fsanitize=address,undefined -fsanitize=fuzzer-no-link" >/dev/null
	@cmake --build $(BUILD)/fuzz -j $(JOBS)

dist:
	@scripts/dist $(BUILD)

test: deps
	@$(MAKE) --no-print-directory all fuzz-tree
	@scripts/test-all $(BUILD)

demo: deps native win64
	@scripts/demo $(BUILD)

# Twice: at 96 pixels per inch into build/screenshots, and at 120 (large fonts) into its 120dpi folder.
screenshots: deps native win64
	@scripts/wine-prefix
	@for dpi in 96 120; do \
		out=$(CURDIR)/$(BUILD)/screenshots; [ $$dpi = 96 ] || out=$$out/$${dpi}dpi; \
		scripts/wine-dpi $$dpi; \
		tests/ui/screenshots.sh $(BUILD) $$out; s=$$?; \
		tests/ui/setup_wizard.sh $(CURDIR)/$(BUILD)/win64 $(CURDIR)/$(BUILD)/linux $(WINE_RUN) $$out; \
		w=$$?; scripts/wine-dpi 96; [ $$s = 0 ] && [ $$w = 0 ] || exit 1; \
	done

bench: deps win64
	@cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release -DTESSARO_TESTS=OFF -DTESSARO_BENCH=ON >/dev/null
	@cmake --build $(BUILD)/bench -j $(JOBS)
	@for b in $(BUILD)/bench/bench/*_bench; do echo "== $$(basename $$b)"; $$b || exit 1; done
	@# The media carry the setup program as it ships: without its debugging information.
	@x86_64-w64-mingw32-strip -o $(BUILD)/bench/TSS.dat $(BUILD)/win64/setup/TSS.dat
	@echo "== install_bench"
	@bench/install_bench.sh $(BUILD)/bench $(BUILD)/bench/TSS.dat
	@echo "== many_files_bench"
	@bench/many_files_bench.sh $(BUILD)/bench $(BUILD)/bench/TSS.dat
	@echo "== hundred_thousand_bench"
	@bench/hundred_thousand_bench.sh $(BUILD)/bench $(BUILD)/bench/TSS.dat

fuzz: deps fuzz-tree
	@scripts/fuzz-run $(BUILD)/fuzz $${FUZZ_SECONDS:-600}

size:
	@cmake -S . -B $(BUILD)/win32 $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake >/dev/null
	@cmake --build $(BUILD)/win32 -j $(JOBS) --target TSS >$(BUILD)/win32/size-build.log 2>&1 || \
		{ cat $(BUILD)/win32/size-build.log; exit 1; }
	@scripts/size $(BUILD)/win32/setup/TSS.dat $(BUILD)/win32/setup/TSS.map i686-w64-mingw32-objdump i686-w64-mingw32-strip

clean:
	rm -rf $(BUILD) dist
