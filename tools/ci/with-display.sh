#!/usr/bin/env bash
# Runs a command with one private Xvfb display and a ready Wine prefix
# (build/win/wineprefix), then ends the display by its process id.
set -euo pipefail
cd "$(dirname "$0")/../.."

# shellcheck source=own-display.sh
. tools/ci/own-display.sh
own_display_pid=""
export WINEPREFIX="$PWD/build/win/wineprefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "$own_display_pid" ] || { kill "$own_display_pid" 2>/dev/null; wait "$own_display_pid" 2>/dev/null; } || true
}
trap cleanup EXIT
start_own_display
# shellcheck source=wine-prefix.sh
. tools/ci/wine-prefix.sh
ready_wine_prefix "$PWD/build/win"
( flock 9; tools/ci/wine-fonts.sh ) 9>"$WINEPREFIX.lock"
"$@"
