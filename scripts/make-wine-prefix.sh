#!/usr/bin/env bash
# Makes a Wine prefix that looks like a Russian Windows desktop to the tests:
# make-wine-prefix.sh PREFIX. Wine boots one master prefix, build-wineprefix/, and every prefix
# asked for is a copy of it (booting takes a quarter of a minute, copying a second). Both are
# made anew when Wine or this script changes (Wine would otherwise update each copy, and copies
# share the master's libraries), or when the 32-bit Wine comes or goes (a prefix made without
# it has no 32-bit system folder).
set -euo pipefail
prefix=$(realpath -m "$1")
master=$(cd "$(dirname "$0")/.." && pwd)/build-wineprefix
wine32=without-wine32
[ ! -x /usr/lib/wine/wine ] || wine32=with-wine32
stamp="$(wine --version) $wine32 $(sha256sum "$0" | cut -c1-16)"

current() {
  [ -f "$1/system.reg" ] && [ "$(cat "$1/kivo-prefix-stamp" 2>/dev/null)" = "$stamp" ]
}

boot_master() {
  rm -rf "$master" "$master.new"
  mkdir -p "$master.new/home"
  local log=$master.new/kivo-prefix.log
  echo "Creating the Wine prefix $master"
  (
    export WINEPREFIX=$master.new HOME=$master.new/home LC_ALL=ru_RU.UTF-8
    source "$(dirname "$0")/wine-env.sh"
    unset DISPLAY WAYLAND_DISPLAY
    wine wineboot --init >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
    # Wine has no Times New Roman, which the panel's label and buttons ask for; Liberation
    # Serif has its metrics, so texts fit as they do on Windows.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /t REG_SZ \
      /d 'Liberation Serif' /f >>"$log" 2>&1 || { cat "$log" >&2; exit 1; }
    wineserver -w
  )
  # Wine links the user's folders (Desktop, Documents...) to HOME; the prefix gets folders of
  # its own instead, so that no test reaches outside it.
  find "$master.new/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
    rm "$link" && mkdir "$link"
  done
  rm -rf "$master.new/home"
  echo "$stamp" >"$master.new/kivo-prefix-stamp"
  mv "$master.new" "$master"
}

current "$prefix" && exit 0
current "$master" || boot_master
[ "$prefix" != "$master" ] || exit 0
rm -rf "$prefix" "$prefix.new"
mkdir -p "$(dirname "$prefix")"
cp -a "$master" "$prefix.new"
mv "$prefix.new" "$prefix"
