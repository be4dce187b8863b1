# voidlance: `make run` and `make test` are all a fresh machine needs.
BUILD_DIR := build
CMAKE_FLAGS ?=
# Parallel build jobs and test processes: JOBS=4, or make's own -j 4; by
# default every processor. They go to the libraries the setup scripts build too.
# Only make's options are read from MAKEFLAGS, not the variables after its
# "--", whose values may hold a word such as -jfoo.
space := $() $()
MAKE_OPTIONS = $(subst ^, ,$(firstword $(subst ^--^, ,x^$(subst $(space),^,$(MAKEFLAGS))^)))
JOBS ?= $(patsubst -j%,%,$(filter -j%,$(MAKE_OPTIONS)))
BUILD_JOBS = $(if $(JOBS),-j $(JOBS))
TEST_JOBS = -j $(or $(JOBS),$$(nproc))
SETUP_ENV = JOBS=$(strip $(JOBS))

# A JOBS that is not a count would reach CMake and end in its usage text: it is
# refused before any step runs. (Make refuses a -j that is not a count itself.)
# without: the text $(2) less every digit of the list $(1); is_count: non-empty
# for a text of digits only that is not all zeros.
without = $(if $(1),$(call without,$(wordlist 2,10,$(1)),$(subst $(firstword $(1)),,$(2))),$(2))
is_count = $(if $(call without,0 1 2 3 4 5 6 7 8 9,$(1)),,$(subst 0,,$(1)))
ifneq ($(filter-out clean,$(or $(MAKECMDGOALS),all)),)
ifneq ($(strip $(JOBS)),)
ifeq ($(call is_count,$(strip $(JOBS))),)
$(error JOBS takes a whole number of at least 1, such as JOBS=4, not '$(JOBS)')
endif
endif
endif

.PHONY: all setup configure build game run test sanitize bench load fuzz clean windows test-windows
# The steps run one after another (two setups at once would contend for apt);
# the jobs above go to the builds and the tests.
.NOTPARALLEL:

all: build

setup:
	@$(SETUP_ENV) bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) $(BUILD_JOBS)

# What the game needs, the program and its assets, without the tests.
game: configure
	@cmake --build $(BUILD_DIR) --target voidlance $(BUILD_JOBS)

# MODE (CLIENT, SERVER, CLIENTSERVER) and any other variable pass through the environment.
run: game
	./$(BUILD_DIR)/voidlance

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure $(TEST_JOBS)

# Every suite built with address, undefined-behaviour and float-conversion checks (Debug, its own
# build directory); any report fails the run. The suites read the assets and
# run the game of build/.
SANITIZE_DIR := build-sanitize
SANITIZE_FLAGS := -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer
SANITIZE_ENV := ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

sanitize: build
	@cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_C_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" >/dev/null
	@cmake --build $(SANITIZE_DIR) $(BUILD_JOBS)
	cd $(SANITIZE_DIR) && $(SANITIZE_ENV) ctest --output-on-failure $(TEST_JOBS)

bench: build
	./$(BUILD_DIR)/voidlance_bench

# The server under 100 bots for 60 s a run: its log on the console, sent to
# /dev/null and in a tmux pane, each at the default level and at warn.
load: build
	@bash tools/bots/load.sh $(BUILD_DIR)

# Every fuzz target (tools/fuzz) under libFuzzer with address and
# undefined-behaviour checks, FUZZ_TIME seconds each, one summary line per
# target; FUZZ_TARGETS picks some. New inputs go to build-fuzz/corpus/<target>,
# faults to build-fuzz/found/<target>; the committed corpus stays as it is.
FUZZ_DIR := build-fuzz
FUZZ_CXX ?= clang++-14
FUZZ_TIME ?= 60
FUZZ_TARGETS ?=

fuzz: setup
	@bash tools/fuzz/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_CXX) $(FUZZ_TIME) $(FUZZ_TARGETS)

# The 64-bit Windows build, cross-compiled with MinGW-w64 and tested under Wine.
# Mono and Gecko are left out of the Wine prefix: nothing here needs them, and
# their installer would ask on a desktop.
WINDOWS_DIR := build-windows
WINE_ENV := WINEPREFIX=$${WINEPREFIX:-$$HOME/.cache/voidlance-wine} WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml="
WINE = $(shell command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
WINESERVER = $(shell command -v wineserver || echo /usr/lib/wine/wineserver)

windows:
	@$(SETUP_ENV) bash scripts/setup-windows
	@cmake -S . -B $(WINDOWS_DIR) -G Ninja \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(WINDOWS_DIR) $(BUILD_JOBS)

# Every suite under Wine, then the Windows server against Linux bots. A new
# Wine prefix takes far longer to make than test discovery may take, so it is
# made, and its wineserver gone, before the first suite starts.
test-windows: windows build
	$(WINE_ENV) timeout -k 10 600 $(WINE) wineboot --init
	$(WINE_ENV) timeout -k 10 120 $(WINESERVER) -w
	cd $(WINDOWS_DIR) && $(WINE_ENV) ctest --output-on-failure $(TEST_JOBS)
	$(WINE_ENV) bash tests/windows/cross_platform.sh $(WINDOWS_DIR) $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(WINDOWS_DIR)
