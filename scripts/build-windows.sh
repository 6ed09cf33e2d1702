#!/usr/bin/env bash
# The Windows cross build with MinGW-w64: libjpeg-turbo from Debian's source (once), then
# Kivo.exe with the core's and the Windows face's tests ("build"), or runs those tests under
# Wine ("test", once built); "program" builds Kivo.exe alone, with the scenarios' box reader.
# Usage: build-windows.sh x86_64|i686 [build|test|program]
#   x86_64 builds in build-win/, i686 in build-win-i686/; JOBS, default 2.
set -euo pipefail

arch=${1:?usage: build-windows.sh x86_64|i686 [build|test]}
action=${2:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
case "$arch" in
  x86_64) build=build-win ;;
  # Runs under wine32, on the same Wine prefixes as the 64-bit build.
  i686) build=build-win-i686 ;;
  *) echo "unknown architecture: $arch" >&2; exit 2 ;;
esac
case "$action" in
  build | test | program) ;;
  *) echo "unknown action: $action" >&2; exit 2 ;;
esac
jobs=${JOBS:-2}
cd "$root"
# Called from make, the builds below would otherwise inherit its flags and announce every
# directory they enter.
unset MAKEFLAGS MFLAGS MAKELEVEL

if [ "$action" = test ]; then
  if [ ! -x "$build/wine-run.sh" ] && [ "$arch" = i686 ] && [ ! -x /usr/lib/wine/wine ]; then
    echo "WARNING: no 32-bit Wine (wine32): the 32-bit build's tests do not run here" >&2
    exit 0
  fi
  [ -x "$build/wine-run.sh" ] || { echo "No Wine found when $build was configured." >&2; exit 1; }
  # A new Wine prefix takes a while to set up: once, before the tests.
  scripts/make-wine-prefix.sh "$build/wineprefix"
  # One Wine server for the whole run, with Wine's services started before ctest (which would
  # wait for their output to close): each test then starts at once instead of booting Wine.
  export WINEPREFIX=$root/$build/wineprefix
  wineserver -p
  trap 'wineserver -k' EXIT
  "$build/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
  ctest --test-dir "$build" --output-on-failure -j "$jobs"
  exit
fi

JOBS=$jobs scripts/windows-libjpeg.sh "$arch" "$build/deps"

# Configured once; again when that never finished, or when it found no Wine for the tests.
# Release: no debug information, which makes the static test executables slow to link; -O2,
# as GCC 12's -O3 warns falsely of overlapping copies in std::string.
if [ ! -f "$build/CMakeFiles/cmake.check_cache" ] || [ ! -x "$build/wine-run.sh" ]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake" \
    -DCMAKE_FIND_ROOT_PATH="$root/$build/deps/$arch" -DKIVO_TESTS=ON \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; exit 1; }
fi

targets=(all)
[ "$action" = program ] && targets=(kivo box_text session_notice)

# Progress and diagnostics come through; the "Built target" roll call, all of a no-op build's
# output, does not.
cmake --build "$build" -j "$jobs" --target "${targets[@]}" 2>&1 |
  { grep --line-buffered -Ev '^\[ *[0-9]+%\] Built target ' || true; }
