# The README's commands. Each installs what is missing, configures and builds first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test bench format clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The program against the simulated logger, in a working folder of its own under build/.
run: build
	@mkdir -p $(BUILD_DIR)/demo
	@cd $(BUILD_DIR)/demo && ../bin/quivel-demo

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300

bench: build
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bin/quivel-bench

format:
	@find src tests tools bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR)
