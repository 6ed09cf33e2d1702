#!/usr/bin/env bash
# Runs a Windows program under Wine on a private Xvfb with a window manager (without one, Wine
# waits two seconds for every window it hides): run-with-display.sh PREFIX WINE PROGRAM...
# The prefix is kept for such runs alone, and its Wine server is let go before the display
# goes, so that the next run starts one for its own display.
set -euo pipefail
"$(dirname "$0")/../../scripts/make-wine-prefix.sh" "$1"
export WINEPREFIX=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# A Western code page: the adapter's Russian texts must not depend on it.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" env LC_ALL=C.UTF-8 sh -c '
  openbox --sm-disable 2>/dev/null & manager=$!
  "$@"; status=$?
  wineserver -w
  kill $manager
  exit $status' run "$@"
