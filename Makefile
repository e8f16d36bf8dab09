# Newcomer's entry points: `make run` and `make test` (both install what they need).
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SEED    ?= 1
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
WERROR     := $(if $(CI),ON,OFF)
CMAKE_ARGS := $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOCAMO_WERROR=$(WERROR)
JOBS       ?= $(shell nproc)

.PHONY: all deps build run test test-main test-asan test-fuzz bench clean

all: build

deps:
	@bash scripts/setup-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/vocamo

test: test-main test-asan test-fuzz

test-main: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The data side again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_ARGS) -DCMAKE_BUILD_TYPE=Debug -DVOCAMO_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The RTF reader under libFuzzer with ASan and UBSan for about a minute; new inputs
# are kept in $(FUZZ_BUILD)/corpus, the seeds in fuzz/corpus stay as they are.
test-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOCAMO_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target rtf_reader_fuzzer
	mkdir -p $(FUZZ_BUILD)/corpus/rtf
	QT_QPA_PLATFORM=offscreen $(FUZZ_BUILD)/bin/rtf_reader_fuzzer \
	  $(FUZZ_BUILD)/corpus/rtf fuzz/corpus/rtf -dict=fuzz/rtf.dict \
	  -seed=$(FUZZ_SEED) -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -rss_limit_mb=2048 -print_final_stats=1

bench: build
	@bash scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
