#!/usr/bin/env bash
# Builds libjpeg-turbo from Debian's source package for Windows, as a static library with its
# SIMD code, and installs it into DEPS/ARCH. Built once: a finished prefix is left alone.
# Usage: windows-libjpeg.sh x86_64|i686 DEPS
set -euo pipefail

arch=$1
deps=$2
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$deps/$arch
stamp=$prefix/.complete
[ -f "$stamp" ] && exit 0

mkdir -p "$deps"
deps=$(cd "$deps" && pwd)
prefix=$deps/$arch
log=$deps/libjpeg-$arch.log

# Quiet unless a step fails; then its output is shown.
run() {
  if ! "$@" >>"$log" 2>&1; then
    echo "Failed: $*" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}

: >"$log"
if ! compgen -G "$deps/src/libjpeg-turbo-*/CMakeLists.txt" >/dev/null; then
  echo "Fetching Debian's libjpeg-turbo source"
  rm -rf "$deps/src" "$deps/src.part"
  mkdir "$deps/src.part"
  (cd "$deps/src.part" && run apt-get source -qq libjpeg-turbo)
  mv "$deps/src.part" "$deps/src"
fi
source_dir=$(compgen -G "$deps/src/libjpeg-turbo-*/CMakeLists.txt" | head -n 1)
source_dir=${source_dir%/CMakeLists.txt}

simd=(-DWITH_SIMD=OFF)
if command -v nasm >/dev/null 2>&1; then
  simd=(-DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm)
fi

echo "Building ${source_dir##*/} for Windows $arch"
rm -rf "$deps/build-$arch" "$prefix"
run cmake -S "$source_dir" -B "$deps/build-$arch" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
  "${simd[@]}"
run cmake --build "$deps/build-$arch" -j "${JOBS:-2}"
run cmake --install "$deps/build-$arch"
touch "$stamp"
