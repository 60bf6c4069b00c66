#!/usr/bin/env bash
# Runs a command with one private Xvfb display and a ready Wine prefix
# (build/win/wineprefix), then ends the display by its process id.
set -euo pipefail
cd "$(dirname "$0")/../.."

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 4 -nolisten tcp -screen 0 1280x1024x24 4>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r display_number < "$fifo"
rm -f "$fifo"
export DISPLAY=":$display_number"

export WINEPREFIX="$PWD/build/win/wineprefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
( flock 9; tools/ci/wine-fonts.sh ) 9>"$WINEPREFIX.lock"
"$@"
