#!/usr/bin/env bash
# Makes the Wine prefix that every Windows end-to-end test copies: make-prefix.sh PREFIX.
# Made once per Wine version (a new prefix takes a while), and anew when Wine changes, since
# Wine would otherwise update each copy, and the copies share the template's libraries.
set -euo pipefail
prefix=$1
version=$(wine --version)
if [ -f "$prefix/system.reg" ] && [ "$(cat "$prefix/kivo-wine-version" 2>/dev/null)" = "$version" ]; then
  exit 0
fi
rm -rf "$prefix" "$prefix.new"
mkdir -p "$prefix.new/home"
export WINEPREFIX=$prefix.new HOME=$prefix.new/home WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml= LC_ALL=ru_RU.UTF-8
unset DISPLAY WAYLAND_DISPLAY
echo "Creating the Wine prefix $prefix"
wine wineboot --init >"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; exit 1; }
wineserver -w
# Wine links the user's folders (Desktop, Documents...) to HOME; the copies get folders of
# their own instead, so that no test reaches outside its prefix.
find "$prefix.new/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
  rm "$link" && mkdir "$link"
done
rm -rf "$prefix.new/home"
echo "$version" >"$prefix.new/kivo-wine-version"
mv "$prefix.new" "$prefix"
