#!/usr/bin/env bash
# Runs one Windows executable under Wine for ctest: a private prefix inside the
# build tree (a clone of the tree's made prefix), no Mono/Gecko installer
# prompts, no proxy.
# Without a DISPLAY the run gets an Xvfb display of its own.
set -euo pipefail
exe=$1; shift
tree=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX=${OSTREL_WINEPREFIX:-$tree/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
out="" err="" own_display_pid=""
trap 'rm -f $out $err; [ -z "$own_display_pid" ] || kill "$own_display_pid" 2>/dev/null' EXIT
# An end-to-end lane (OSTREL_OWN_DISPLAY=1) has a display of its own beside its
# own prefix, so that lanes run side by side: their cases press real keys and
# own the clipboard, which two programs on one display would take from each
# other; so has a run without a display. The display is started before any
# Wine command of the run, so that all of them meet it, and ends with the run,
# however it ends.
if [ "${OSTREL_OWN_DISPLAY:-}" = 1 ] || [ -z "${DISPLAY:-}" ]; then
  # shellcheck source=../tools/ci/own-display.sh
  . "$(dirname "$0")/../tools/ci/own-display.sh"
  start_own_display || { echo "wine-run.sh: no display of its own" >&2; exit 1; }
fi
# shellcheck source=../tools/ci/wine-prefix.sh
. "$(dirname "$0")/../tools/ci/wine-prefix.sh"
ready_wine_prefix "$tree"
# The end-to-end entries' prefix (OSTREL_WINEPREFIX) serves one entry at a
# time, and what an entry starts must end with it. Wine starts a program
# outside the process tree of the one that starts it, so when ctest kills an
# entry at its time limit (the entry's tree, by parent process) the program
# lives on, and the next entry would meet it: the program keeps one instance,
# and a second start only shows the first window. So a watcher outside the
# tree (setsid) ends the prefix's processes once this entry is gone, however
# it goes, and holds the prefix's entry lock until then; an entry starts only
# after the last one's watcher is done, and ends what an entry left before
# watchers existed.
# The faces of ./run.sh's prefix: the tests see what a user sees.
faces() { ( flock 9; "$(dirname "$0")/../tools/ci/wine-fonts.sh" ) 9>"$WINEPREFIX.lock" 8>&-; }
if [ -n "${OSTREL_WINEPREFIX:-}" ]; then
  exec 8>"$WINEPREFIX.entry"
  flock 8
  # The faces of a new prefix are written by Wine commands whose server would
  # outlive them into the entry: it is ended with the last entry's leftovers.
  faces
  wineserver -k 2>/dev/null || true
  wineserver -w
  setsid -f sh -c 'while kill -0 "$1" 2>/dev/null; do sleep 0.2; done; wineserver -k 2>/dev/null; wineserver -w' \
    ostrel-prefix-watcher $$ </dev/null >/dev/null 2>&1
else
  faces
fi
# Wine's console host (conhost.exe) inherits the program's output and has been
# seen to outlive the program by minutes on a loaded machine, and ctest waits
# for the end of the output: it goes through files, passed on as it comes, so
# the run ends with the program.
out=$(mktemp)
err=$(mktemp)
wine "$exe" "$@" <&0 >"$out" 2>"$err" 8>&- &
program=$!
tail -q -s 0.1 -n +1 -f --pid="$program" "$out" 8>&- &
out_tail=$!
tail -q -s 0.1 -n +1 -f --pid="$program" "$err" >&2 8>&- &
err_tail=$!
status=0
wait "$program" || status=$?
wait "$out_tail" "$err_tail"
exit "$status"
