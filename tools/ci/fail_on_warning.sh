#!/usr/bin/env bash
# The compiler launcher of the test trees (OSTREL_WARNINGS_AS_ERRORS): runs
# the compile it is given (through ccache when that comes next) and fails it
# when the compiler warned, removing the object so that the next build
# compiles it again. The compile command itself is the same with or without
# the check, so the compiler cache serves one object to every tree.
set -uo pipefail
messages=$(mktemp)
trap 'rm -f "$messages"' EXIT
"$@" 2>"$messages"
status=$?
cat "$messages" >&2
if [ "$status" -eq 0 ] && grep -q 'warning:' "$messages"; then
  object=""
  previous=""
  for argument in "$@"; do
    [ "$previous" = "-o" ] && object=$argument
    previous=$argument
  done
  [ -n "$object" ] && rm -f "$object"
  echo "fail_on_warning.sh: a compiler warning fails this build (set OSTREL_WERROR=OFF to build anyway)" >&2
  status=1
fi
exit "$status"
