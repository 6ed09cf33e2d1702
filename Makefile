# Front door: make run, make test, make windows.
BUILD ?= build
JOBS ?= 2

.PHONY: all build run test sanitize-test wine-e2e-test bench fuzz format clean windows windows-i686 windows-test

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
	ctest --test-dir $(BUILD) --output-on-failure -j 1 -LE wine
	@$(MAKE) --no-print-directory sanitize-test
	@$(MAKE) --no-print-directory windows-test
	@$(MAKE) --no-print-directory wine-e2e-test

# kivo.exe of build-win/ under Wine, driven by the Linux build's end-to-end harness.
wine-e2e-test:
	@scripts/install-deps.sh test
	@$(MAKE) --no-print-directory build CMAKE_FLAGS=-DKIVO_TESTS=ON
	@JOBS=$(JOBS) scripts/build-windows.sh x86_64
	ctest --test-dir $(BUILD) --output-on-failure -j 1 -L wine

# The core's unit tests under AddressSanitizer and UndefinedBehaviorSanitizer; any report fails.
sanitize-test:
	cmake -S . -B build-san -DKIVO_QT=OFF -DKIVO_SANITIZE=ON -DKIVO_TESTS=ON >/dev/null
	cmake --build build-san -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-san --output-on-failure -j 1

bench:
	@scripts/install-deps.sh test
	@$(MAKE) --no-print-directory build CMAKE_FLAGS=-DKIVO_TESTS=ON
	@JOBS=$(JOBS) scripts/build-windows.sh x86_64
	@JOBS=$(JOBS) scripts/build-windows.sh i686
	@mkdir -p bench/results
	@{ echo "# Kivo benchmark"; echo; date -u; echo; \
	   $(BUILD)/bench/kivo_bench_conversion && $(BUILD)/bench/kivo_bench_breathing bench/results && \
	   $(BUILD)/bench/kivo_bench_windows; \
	 } > bench/results/latest.md
	@cat bench/results/latest.md

# build-win/kivo.exe (64-bit) and build-win-i686/kivo.exe (32-bit), cross-built with MinGW-w64.
windows:
	@scripts/install-deps.sh windows
	@JOBS=$(JOBS) scripts/build-windows.sh x86_64
	@JOBS=$(JOBS) scripts/build-windows.sh i686

windows-i686:
	@scripts/install-deps.sh windows
	@JOBS=$(JOBS) scripts/build-windows.sh i686

# The 64-bit build's tests under Wine; the 32-bit build is compiled and linked.
windows-test:
	@scripts/install-deps.sh windows
	@JOBS=$(JOBS) scripts/build-windows.sh x86_64 test
	@JOBS=$(JOBS) scripts/build-windows.sh i686

# The core's fuzz targets, built with clang in build-fuzz/, FUZZ_SECONDS each (default 60).
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps.sh test
	@JOBS=$(JOBS) scripts/fuzz.sh $(FUZZ_SECONDS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) build-san build-fuzz build-win build-win-i686
