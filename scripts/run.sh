#!/usr/bin/env bash
# Starts the ornament from the build folder. Without a display it runs on a virtual X server,
# saves a screenshot and an animation of one breath under <build>/demo/ and prints their paths.
set -euo pipefail
build=${1:-build}
program="$build/kivo"

if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

mkdir -p "$build/demo"
demo="$(cd "$build/demo" && pwd)"
shot="$demo/kivo.png"
breath="$demo/kivo-breath.gif"
frames=$(mktemp -d)
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
kivo=
cleanup() {
  [ -n "$kivo" ] && kill "$kivo" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  rm -rf "$display_file" "$frames"
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
"$build/kivo-screenshot" "$shot" "$frames"
# A tenth of a second a frame, repeated for ever.
"$(command -v convert-im6.q16 || command -v convert)" -delay 10 -loop 0 "$frames"/frame-*.png -layers Optimize "$breath"
echo "No display: Kivo ran on a virtual X server ($DISPLAY)."
echo "Screenshot: $shot"
echo "One breath: $breath"
