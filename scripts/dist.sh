#!/usr/bin/env bash
# Writes what a user downloads into dist/: Kivo-VERSION-windows-x86.zip (the 32-bit build),
# Kivo-VERSION-windows-x64.zip, kivo-VERSION-linux-x86_64.tar.gz and their SHA256SUMS, each
# a program folder as the builds lay it out (build/, build-win/, build-win-i686/ must be
# built). VERSION is the CMake project's version.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
version=$(sed -n 's/^project(Kivo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no project version in CMakeLists.txt" >&2; exit 1; }
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
rm -rf dist
mkdir -p dist

# The Debian packages of the libraries the program links itself, and those it loads at run
# time: Qt's X11 platform plugin, and the metric twin of Times New Roman for its labels.
linux_packages() {
  local library path
  objdump -p build/kivo | awk '/NEEDED/ {print $2}' | while read -r library; do
    path=$(ldd build/kivo | awk -v l="$library" '$1 == l {print $3}')
    dpkg -S "$path" 2>/dev/null || dpkg -S "/usr$path"
  done | cut -d: -f1 | sort -u
  printf '%s\n' qt6-qpa-plugins fonts-liberation
}

windows_zip() {
  local build=$1 name="Kivo-$version-windows-$2"
  cmake --install "$build" --prefix "$stage/$name/Kivo" --strip >/dev/null
  # Notepad reads UTF-8 with its mark; lines end as Windows ends them.
  { printf '\xEF\xBB\xBF'; sed 's/$/\r/' packaging/windows-readme.txt; } >"$stage/$name/Kivo/Kivo.txt"
  # Folders go in as entries of their own, the empty date/ among them.
  (cd "$stage/$name" && zip -q -r -X "$root/dist/$name.zip" Kivo)
}

windows_zip build-win-i686 x86
windows_zip build-win x64

linux="kivo-$version-linux-x86_64"
cmake --install build --prefix "$stage/$linux/kivo" --strip >/dev/null
{
  cat packaging/linux-readme.txt
  linux_packages | sed 's/^/  /'
} >"$stage/$linux/kivo/README.txt"
tar -C "$stage/$linux" --owner=0 --group=0 -czf "dist/$linux.tar.gz" kivo

(cd dist && sha256sum ./*.zip ./*.tar.gz | sed 's| \./| |' >SHA256SUMS)
ls -l dist
