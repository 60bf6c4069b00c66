#!/bin/sh
# webget ended over and over, as the program ends after a transfer: each run
# must print its line and end with its own status. A transfer that left a
# thread of WinINet's still starting when the process ended killed about
# 1 run in 300 under load (SIGSEGV, status 139); 320 runs in 4 lanes see a
# fault of 1 in 100 with a chance of 96 %.
set -u
wine_run=$1; webget=$2; work=$3
url=http://127.0.0.1:$OSTREL_TEST_SERVER_PORT
lanes=4 runs=80   # runs per lane
lane() {  # lane N: its runs; each failure a line of $work/failed_N
  : > "$work/failed_$1"
  i=0
  while [ $i -lt $runs ]; do
    i=$((i + 1))
    # A body into memory and one into a file, in turn.
    if [ $((i % 2)) = 0 ]; then
      "$wine_run" "$webget" "$url/chunked/40001" > "$work/line_$1.txt" 2>/dev/null; code=$?; want=40001
    else
      "$wine_run" "$webget" "$url/bytes/9999" "Z:$work/lane_$1.bin" > "$work/line_$1.txt" 2>/dev/null; code=$?; want=9999
    fi
    if [ $code -ne 0 ] || ! grep -q "^result 0 status 200 .* bytes $want " "$work/line_$1.txt"; then
      echo "run $i of lane $1: exit $code, '$(tr -d '\r' < "$work/line_$1.txt")'" >> "$work/failed_$1"
    fi
  done
}
mkdir -p "$work"
n=1
while [ $n -le $lanes ]; do lane $n & n=$((n + 1)); done
wait
cat "$work"/failed_*
failed=$(cat "$work"/failed_* | wc -l)
echo "$failed of $((lanes * runs)) runs failed"
[ "$failed" -eq 0 ]
