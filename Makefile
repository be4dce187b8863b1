# voidlance: `make run` and `make test` are all a fresh machine needs.
BUILD_DIR := build
CMAKE_FLAGS ?=

.PHONY: all setup configure build run test bench clean

all: build

setup:
	@bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR)

# MODE (CLIENT, SERVER, CLIENTSERVER) and any other variable pass through the environment.
run: build
	./$(BUILD_DIR)/voidlance

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $$(nproc)

bench: build
	./$(BUILD_DIR)/voidlance_bench

clean:
	rm -rf $(BUILD_DIR)
