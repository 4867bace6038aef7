# Thin wrapper over the CMake presets: every real decision lives in CMake.
#   make run            build (Release) and start diodesolve
#   make test           build and run every test
#   make test PRESET=native CMAKE_ARGS=-DDALV_WERROR=ON
PRESET ?= release
CMAKE_ARGS ?=
BUILD := build/$(PRESET)

.PHONY: build run test clean

$(BUILD)/CMakeCache.txt:
	cmake --preset $(PRESET) $(CMAKE_ARGS)

build: $(BUILD)/CMakeCache.txt
	cmake --build --preset $(PRESET) --parallel

run: build
	@$(BUILD)/bin/diodesolve

test: build
	ctest --preset $(PRESET)

clean:
	rm -rf build
