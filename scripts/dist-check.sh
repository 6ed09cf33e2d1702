#!/usr/bin/env bash
# Tries what make dist wrote as a user would: each archive is unpacked into a fresh folder
# whose path has a blank and a Cyrillic letter, and the start-up scenarios run on it (the
# Windows programs under Wine). Needs build/ with its tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scenarios=build/tests/e2e/e2e_scenarios
[ -x "$scenarios" ] || { echo "no $scenarios: build the tests first" >&2; exit 1; }
(cd dist && sha256sum --quiet -c SHA256SUMS)
scripts/make-wine-prefix.sh build/tests/e2e/wineprefix

check() {
  local face=$1 archive=$2
  echo "== $archive on the $face face"
  KIVO_E2E_ARCHIVE="$root/$archive" "$scenarios" --face="$face" --gtest_filter='StartUp.*' \
    --gtest_brief=1
}

check linux dist/kivo-*-linux-x86_64.tar.gz
check win64 dist/Kivo-*-windows-x64.zip
if [ -x /usr/lib/wine/wine ]; then
  check win32 dist/Kivo-*-windows-x86.zip
else
  echo "WARNING: no 32-bit Wine (wine32): the x86 archive is not tried here" >&2
fi
