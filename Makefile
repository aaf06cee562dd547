# The commands a new user needs: `make run` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build run test bench fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/src/tarnel

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600

bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@for b in $(BUILD)/bench/bench_*; do \
		if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" || exit 1; fi; \
	done

fuzz: deps
	@command -v clang++ >/dev/null || { echo "make fuzz needs clang++"; exit 1; }
	@cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DTARNEL_FUZZ=ON
	@cmake --build build-fuzz -j $(JOBS) --target fuzzers

clean:
	rm -rf $(BUILD) build-fuzz
