# Quillerby — build, run and test. Every target installs missing Debian packages first (as root).
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test screenshots bench demo clean

deps:
	@bash scripts/deps.sh

$(BUILD_DIR)/build.ninja:
	@bash scripts/deps.sh
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/quillerby

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bin/quillerby-screenshots $(BUILD_DIR)/screenshots
	@echo "Screenshots written to $(BUILD_DIR)/screenshots"

demo: build
	bash scripts/demo.sh $(BUILD_DIR)

bench: build
	@bash bench/run.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)
