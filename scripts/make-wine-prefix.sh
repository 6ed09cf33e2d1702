#!/usr/bin/env bash
# Makes a Wine prefix that looks like a Russian Windows desktop to the tests:
# make-wine-prefix.sh PREFIX. Made once, and anew when Wine or this script changes (Wine would
# otherwise update each copy of a template, and copies share the template's libraries), or when
# the 32-bit Wine comes or goes (a prefix made without it has no 32-bit system folder).
set -euo pipefail
prefix=$(realpath -m "$1")
wine32=without-wine32
[ ! -x /usr/lib/wine/wine ] || wine32=with-wine32
stamp="$(wine --version) $wine32 $(sha256sum "$0" | cut -c1-16)"
if [ -f "$prefix/system.reg" ] && [ "$(cat "$prefix/kivo-prefix-stamp" 2>/dev/null)" = "$stamp" ]; then
  exit 0
fi
rm -rf "$prefix" "$prefix.new"
mkdir -p "$prefix.new/home"
export WINEPREFIX=$prefix.new HOME=$prefix.new/home WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml= LC_ALL=ru_RU.UTF-8
unset DISPLAY WAYLAND_DISPLAY
echo "Creating the Wine prefix $prefix"
wine wineboot --init >"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; exit 1; }
# Wine has no Times New Roman, which the panel's label and buttons ask for; Liberation Serif
# has its metrics, so texts fit as they do on Windows.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /t REG_SZ \
  /d 'Liberation Serif' /f >>"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; exit 1; }
wineserver -w
# Wine links the user's folders (Desktop, Documents...) to HOME; the prefix gets folders of its
# own instead, so that no test reaches outside it.
find "$prefix.new/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
  rm "$link" && mkdir "$link"
done
rm -rf "$prefix.new/home"
echo "$stamp" >"$prefix.new/kivo-prefix-stamp"
mv "$prefix.new" "$prefix"
