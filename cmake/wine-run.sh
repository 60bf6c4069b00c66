#!/usr/bin/env bash
# Runs one Windows executable under Wine for ctest: a private prefix inside the
# build tree (made once, under a lock), no Mono/Gecko installer prompts, no proxy.
# Without a DISPLAY the program gets its own Xvfb through xvfb-run.
set -euo pipefail
exe=$1; shift
tree=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX=${OSTREL_WINEPREFIX:-$tree/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-nolisten tcp" wine "$exe" "$@"
fi
exec wine "$exe" "$@"
