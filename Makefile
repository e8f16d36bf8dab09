# Newcomer's entry points: `make run` and `make test` (both install what they need).
BUILD      ?= build
ASAN_BUILD ?= build-asan
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
WERROR     := $(if $(CI),ON,OFF)
CMAKE_ARGS := $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOCAMO_WERROR=$(WERROR)
JOBS       ?= $(shell nproc)

.PHONY: all deps build run test test-main test-asan bench clean

all: build

deps:
	@bash scripts/setup-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/vocamo

test: test-main test-asan

test-main: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The data side again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_ARGS) -DCMAKE_BUILD_TYPE=Debug -DVOCAMO_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

bench: build
	@bash scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
