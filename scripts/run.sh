#!/usr/bin/env bash
# Starts the ornament from the build folder. Without a display it runs on a virtual X server,
# saves a screenshot and an animation of one breath under <build>/demo/ and prints their paths.
set -euo pipefail
build=${1:-build}
program="$build/kivo"

if [ "${2:-}" != --demo ]; then
  [ -z "${DISPLAY:-}" ] || exec "$program"
  exec "$(dirname "$0")/with-display.sh" "$0" "$build" --demo
fi

# On the virtual display.
mkdir -p "$build/demo"
demo="$(cd "$build/demo" && pwd)"
frames=$(mktemp -d)
export QT_QPA_PLATFORM=xcb
"$program" &
kivo=$!
trap 'kill "$kivo" 2>/dev/null; rm -rf "$frames"' EXIT
sleep 2
"$build/kivo-screenshot" "$demo/kivo.png" "$frames"
# A tenth of a second a frame, repeated for ever.
"$(command -v convert-im6.q16 || command -v convert)" -delay 10 -loop 0 "$frames"/frame-*.png \
  -layers Optimize "$demo/kivo-breath.gif"
echo "No display: Kivo ran on a virtual X server ($DISPLAY)."
echo "Screenshot: $demo/kivo.png"
echo "One breath: $demo/kivo-breath.gif"
