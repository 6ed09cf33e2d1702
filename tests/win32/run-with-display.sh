#!/usr/bin/env bash
# Runs a Windows program under Wine on a private Xvfb with a window manager (without one, Wine
# waits two seconds for every window it hides): run-with-display.sh PREFIX WINE PROGRAM...
# The prefix is kept for such runs alone, and its Wine server is let go before the display
# goes, so that the next run starts one for its own display.
set -euo pipefail
scripts=$(dirname "$0")/../../scripts
"$scripts/make-wine-prefix.sh" "$1"
export WINEPREFIX=$1
shift
source "$scripts/wine-env.sh"
# A Western code page: the adapter's Russian texts must not depend on it.
exec "$scripts/with-display.sh" --openbox env LC_ALL=C.UTF-8 sh -c '
  "$@"; status=$?
  wineserver -w
  exit $status' run "$@"
