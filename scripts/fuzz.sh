#!/usr/bin/env bash
# Builds the core's fuzz targets with clang in build-fuzz/ and runs each for a bounded time.
# Usage: fuzz.sh [seconds per target, default 60]. The corpora grow in build-fuzz/corpus/;
# an input that breaks a target is kept in build-fuzz/artifacts/ and the script fails.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
log="$build/deps/libjpeg.log"

# Quiet unless a step fails; then its output is shown.
quiet() {
  if ! "$@" >>"$log" 2>&1; then
    echo "Failed: $*" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}

# libjpeg from Debian's source, instrumented as the core is, so that the fuzzer sees inside the
# decoder (its SIMD code would hide the pixels' paths from it). Built once.
jpeg="$build/deps/libjpeg"
if [ ! -f "$jpeg/.complete" ]; then
  mkdir -p "$build/deps"
  : >"$log"
  if ! compgen -G "$build/deps/src/libjpeg-turbo-*/CMakeLists.txt" >/dev/null; then
    echo "Fetching Debian's libjpeg-turbo source"
    rm -rf "$build/deps/src"
    mkdir "$build/deps/src"
    (cd "$build/deps/src" && quiet apt-get source -qq libjpeg-turbo)
  fi
  source_dir=$(compgen -G "$build/deps/src/libjpeg-turbo-*/CMakeLists.txt" | head -n 1)
  echo "Building ${source_dir%/CMakeLists.txt} for fuzzing"
  rm -rf "$build/deps/libjpeg-build" "$jpeg"
  quiet cmake -S "${source_dir%/CMakeLists.txt}" -B "$build/deps/libjpeg-build" \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$jpeg" -DCMAKE_INSTALL_LIBDIR="$jpeg/lib" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
  quiet cmake --build "$build/deps/libjpeg-build" -j "${JOBS:-1}"
  quiet cmake --install "$build/deps/libjpeg-build"
  touch "$jpeg/.complete"
fi

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKIVO_QT=OFF -DKIVO_TESTS=ON -DKIVO_FUZZ=ON \
  -DJPEG_INCLUDE_DIR="$jpeg/include" -DJPEG_LIBRARY_RELEASE="$jpeg/lib/libjpeg.a" >/dev/null
cmake --build "$build" -j "${JOBS:-1}" --target fuzz_settings fuzz_jpeg fuzz_seeds

# run <target> <max input bytes> <memory limit in MiB>
run() {
  local name=$1 max_len=$2 rss_mb=$3
  local corpus="$build/corpus/$name" artifacts="$build/artifacts/$name"
  local seeds=("$build/tests/fuzz/seeds/$name")
  [ -d "$root/tests/fuzz/regressions/$name" ] && seeds+=("$root/tests/fuzz/regressions/$name")
  mkdir -p "$corpus" "$artifacts"
  echo "== fuzz_$name for ${seconds}s"
  "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="$max_len" \
    -rss_limit_mb="$rss_mb" -timeout=30 -dict="$root/tests/fuzz/$name.dict" \
    -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" "${seeds[@]}"
}

failed=()
run settings 65536 1024 || failed+=(settings)
run jpeg 262144 2048 || failed+=(jpeg)
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}; inputs in $build/artifacts/" >&2
  exit 1
fi
