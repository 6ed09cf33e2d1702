#!/usr/bin/env bash
# The Windows cross build with MinGW-w64: libjpeg-turbo from Debian's source (once), then
# kivo.exe; with "test", also the core's unit tests, run under Wine.
# Usage: build-windows.sh x86_64|i686 [build|test]
#   x86_64 builds in build-win/, i686 in build-win-i686/; JOBS, default 2.
set -euo pipefail

arch=${1:?usage: build-windows.sh x86_64|i686 [build|test]}
action=${2:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
case "$arch" in
  # The 32-bit flavour is only compiled and linked: Debian's wine64 runs 64-bit programs only.
  x86_64) build=build-win tests=ON ;;
  i686) build=build-win-i686 tests=OFF ;;
  *) echo "unknown architecture: $arch" >&2; exit 2 ;;
esac
case "$action" in
  build) ;;
  test) [ "$tests" = ON ] || { echo "the $arch build has no tests" >&2; exit 2; } ;;
  *) echo "unknown action: $action" >&2; exit 2 ;;
esac
jobs=${JOBS:-2}
cd "$root"
# Called from make, the builds below would otherwise inherit its flags and announce every
# directory they enter.
unset MAKEFLAGS MFLAGS MAKELEVEL

JOBS=$jobs scripts/windows-libjpeg.sh "$arch" "$build/deps"

# Configured once; again when that never finished, when the Win32 adapter came after it, or
# when it found no Wine for the tests.
if [ ! -f "$build/CMakeFiles/cmake.check_cache" ] ||
  { [ -f src/platform/win32/CMakeLists.txt ] && [ ! -d "$build/src/platform/win32" ]; } ||
  { [ "$action" = test ] && [ ! -x "$build/wine-run.sh" ]; }; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" \
    -DCMAKE_FIND_ROOT_PATH="$root/$build/deps/$arch" -DKIVO_TESTS=$tests \
    >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; exit 1; }
fi

# kivo.exe once the Win32 adapter has its CMakeLists.txt; until then the core alone.
targets=(kivo_core)
[ -f src/platform/win32/CMakeLists.txt ] && targets=(kivo)
[ "$action" = test ] && targets=(all)

# Progress and diagnostics come through; the "Built target" roll call, all of a no-op build's
# output, does not.
cmake --build "$build" -j "$jobs" --target "${targets[@]}" 2>&1 |
  { grep --line-buffered -Ev '^\[ *[0-9]+%\] Built target ' || true; }

if [ "$action" = test ]; then
  [ -x "$build/wine-run.sh" ] || { echo "No wine found: the tests cannot run." >&2; exit 1; }
  # A new Wine prefix takes a while to set up: once, before the tests.
  if [ ! -f "$build/wineprefix/system.reg" ]; then
    echo "Creating the Wine prefix $build/wineprefix"
    "$build/wine-run.sh" wineboot --init >"$build/wineboot.log" 2>&1 ||
      { cat "$build/wineboot.log" >&2; exit 1; }
  fi
  ctest --test-dir "$build" --output-on-failure -j "$jobs"
fi
