# The README's commands. Each installs what is missing, configures and builds first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test test-sanitize fuzz fuzz-build fuzz-merge bench package screenshots format clean

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

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer (g++) in a
# build directory of its own, under C.UTF-8 and fr_FR.UTF-8: a memory error, a leak or undefined
# behaviour in any process of a test fails the run.
SANITIZE_DIR ?= build-sanitize
SANITIZE_FLAGS = -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DQUIVEL_SANITIZE=ON
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) $(SANITIZE_FLAGS) > /dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@bash scripts/test-sanitize.sh $(SANITIZE_DIR)

# Fuzzing with libFuzzer (clang, ASan, UBSan) in a build directory of its own. Without
# FUZZ_SECONDS every target runs at once until interrupted; FUZZ_SECONDS=N runs each N seconds
# in turn. `make fuzz-merge` keeps what they found that reaches new code in tests/fuzz/corpus/.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 0
FUZZ_TARGETS ?= record_file value_packet number_text audit_record user_record windows1252
FUZZ_FLAGS = -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	-DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DQUIVEL_FUZZ=ON
fuzz-build:
	@bash scripts/install-deps.sh clang libclang-rt-dev
	@cmake -S . -B $(FUZZ_DIR) $(FUZZ_FLAGS) > /dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))

fuzz: fuzz-build
	@bash scripts/fuzz.sh run $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

fuzz-merge: fuzz-build
	@bash scripts/fuzz.sh merge $(FUZZ_DIR) $(FUZZ_TARGETS)

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
