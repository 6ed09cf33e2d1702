# Front door: make run, make test, make windows.
BUILD ?= build
JOBS ?= 2
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1

.PHONY: all build run test test-builds test-runs bench fuzz format clean windows dist

all: build

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run:
	@scripts/install-deps.sh run
	@$(MAKE) --no-print-directory build CMAKE_FLAGS=-DKIVO_TESTS=OFF
	@scripts/run.sh $(BUILD)

# Installs once, builds each tree once, then runs each suite once: the Linux build's tests
# with the end-to-end scenarios on every face, the core's tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the 64- and 32-bit Windows builds' tests under Wine.
test:
	@scripts/install-deps.sh test
	@$(MAKE) --no-print-directory test-builds
	@$(MAKE) --no-print-directory test-runs

test-builds:
	@$(MAKE) --no-print-directory build CMAKE_FLAGS=-DKIVO_TESTS=ON
	cmake -S . -B build-san -DKIVO_QT=OFF -DKIVO_SANITIZE=ON -DKIVO_TESTS=ON >/dev/null
	cmake --build build-san -j $(JOBS)
	@JOBS=$(JOBS) scripts/build-windows.sh x86_64
	@JOBS=$(JOBS) scripts/build-windows.sh i686

# Suites that start X servers run one at a time.
test-runs:
	ctest --test-dir $(BUILD) --output-on-failure -j 1
	$(SANITIZER_ENV) ctest --test-dir build-san --output-on-failure -j $(JOBS)
	@JOBS=$(JOBS) scripts/build-windows.sh x86_64 test
	@JOBS=$(JOBS) scripts/build-windows.sh i686 test

bench:
	@scripts/install-deps.sh test
	@$(MAKE) --no-print-directory build CMAKE_FLAGS=-DKIVO_TESTS=ON
	@JOBS=$(JOBS) scripts/build-windows.sh x86_64 program
	@JOBS=$(JOBS) scripts/build-windows.sh i686 program
	@mkdir -p bench/results
	@{ echo "# Kivo benchmark"; echo; date -u; echo; \
	   $(BUILD)/bench/kivo_bench_conversion && $(BUILD)/bench/kivo_bench_breathing bench/results && \
	   $(BUILD)/bench/kivo_bench_floor && $(BUILD)/bench/kivo_bench_windows; \
	 } > bench/results/latest.md
	@cat bench/results/latest.md

# build-win/Kivo.exe (64-bit) and build-win-i686/Kivo.exe (32-bit), cross-built with MinGW-w64.
windows:
	@scripts/install-deps.sh windows
	@JOBS=$(JOBS) scripts/build-windows.sh x86_64 program
	@JOBS=$(JOBS) scripts/build-windows.sh i686 program

# What a user downloads, in dist/: the 32- and 64-bit Windows programs as zip files, the Linux
# program folder as a tar.gz, and their SHA256SUMS; then each is unpacked and started.
dist:
	@scripts/install-deps.sh test
	@$(MAKE) --no-print-directory build CMAKE_FLAGS=-DKIVO_TESTS=ON
	@JOBS=$(JOBS) scripts/build-windows.sh x86_64 program
	@JOBS=$(JOBS) scripts/build-windows.sh i686 program
	@scripts/dist.sh
	@scripts/dist-check.sh

# The core's fuzz targets, built with clang in build-fuzz/, FUZZ_SECONDS each (default 60).
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps.sh test
	@JOBS=$(JOBS) scripts/fuzz.sh $(FUZZ_SECONDS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) build-san build-fuzz build-win build-win-i686 build-wineprefix dist
