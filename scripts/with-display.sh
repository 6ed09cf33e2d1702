#!/usr/bin/env bash
# Runs a command on a private virtual X server of 1280 x 1024 (and with openbox when the first
# argument is --openbox), then ends the server: with-display.sh [--openbox] COMMAND...
# The command's exit status is the script's.
set -euo pipefail
openbox=false
if [ "${1:-}" = --openbox ]; then
  openbox=true
  shift
fi
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
manager=
cleanup() {
  [ -z "$manager" ] || kill "$manager" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -f "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "with-display.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$display_file")"
if $openbox; then
  openbox --sm-disable 2>/dev/null &
  manager=$!
fi
status=0
"$@" || status=$?
exit $status
