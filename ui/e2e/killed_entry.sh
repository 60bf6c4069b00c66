#!/bin/sh
# Kills an end-to-end run as ctest kills an entry at its time limit, once the
# program it started has its frame up: the run is stopped, then it and every
# process below it by parent process are killed.
#   killed_entry.sh WINE_RUN UI_E2E_TESTS_EXE
set -u
wine_run=$1; exe=$2
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$wine_run" "$exe" --gtest_color=no --gtest_filter=KilledEntry.StartsTheProgramAndWaitsToBeKilled >"$out" 2>&1 &
run=$!
kill_tree() {
  for child in $(ps -o pid= --ppid "$1"); do kill_tree "$child"; done
  kill -KILL "$1" 2>/dev/null
}
# The start is waited for as long as the machine takes, within the entry's limit.
while ! grep -q "frame up" "$out"; do
  if ! kill -0 "$run" 2>/dev/null; then
    cat "$out"
    echo "the run ended before the program's frame was up"
    exit 1
  fi
  sleep 0.2
done
kill -STOP "$run"
kill_tree "$run"
wait "$run" 2>/dev/null
echo "killed with the program's frame up"
