# The README's commands. Each installs what is missing, configures and builds first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test bench package screenshots format clean

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

# The whole suite twice: under C.UTF-8, then under a French environment (decimal comma in the C
# runtime), because the users are French and the C runtime's locale must never change a number.
CTEST = QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300
test: build
	@echo "== Tests under C.UTF-8"
	@cd $(BUILD_DIR) && LANG=C.UTF-8 LC_ALL=C.UTF-8 $(CTEST)
	@echo "== Tests under fr_FR.UTF-8"
	@cd $(BUILD_DIR) && LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 $(CTEST)

bench: build
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bin/quivel-bench

# The .deb of the program, the demo and logger-sim, with the menu entry and the icon
# (packaging/). scripts/check-package.sh installs it and starts it under Xvfb.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB

# The user guide's pictures, docs/images/*.png: the acceptance test's day through the real
# windows against logger-sim, photographed on a virtual screen.
screenshots: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target quivel-screenshots logger-sim
	@xvfb-run -a -s "-screen 0 1600x1000x24" $(BUILD_DIR)/bin/quivel-screenshots docs/images

format:
	@find src tests tools bench packaging -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR)
