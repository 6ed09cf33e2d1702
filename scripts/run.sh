#!/usr/bin/env bash
# Starts the ornament from the build folder. Without a display it runs on a virtual X server,
# saves a screenshot under <build>/demo/ and prints its path.
set -euo pipefail
build=${1:-build}
program="$build/kivo"

if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

mkdir -p "$build/demo"
shot="$(cd "$build/demo" && pwd)/kivo.png"
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
kivo=
cleanup() {
  [ -n "$kivo" ] && kill "$kivo" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  rm -f "$display_file"
}
trap cleanup EXIT
for _ in $(seq 50); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
export DISPLAY=":$(cat "$display_file")"
export QT_QPA_PLATFORM=xcb

"$program" &
kivo=$!
sleep 2
"$build/kivo-screenshot" "$shot"
echo "No display: Kivo ran on a virtual X server ($DISPLAY). Screenshot: $shot"
