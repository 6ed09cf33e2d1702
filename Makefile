# Front door: make run, make test.
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test bench format clean

all: build

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run:
	@scripts/install-deps.sh run
	@$(MAKE) --no-print-directory build CMAKE_FLAGS=-DKIVO_TESTS=OFF
	@scripts/run.sh $(BUILD)

test:
	@scripts/install-deps.sh test
	@$(MAKE) --no-print-directory build CMAKE_FLAGS=-DKIVO_TESTS=ON
	ctest --test-dir $(BUILD) --output-on-failure -j 1

bench:
	@scripts/install-deps.sh test
	@$(MAKE) --no-print-directory build CMAKE_FLAGS=-DKIVO_TESTS=ON
	@mkdir -p bench/results
	@{ echo "# Kivo benchmark"; echo; date -u; echo; \
	   $(BUILD)/bench/kivo_bench_conversion && $(BUILD)/bench/kivo_bench_breathing; \
	 } > bench/results/latest.md
	@cat bench/results/latest.md

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
