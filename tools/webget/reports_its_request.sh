#!/bin/sh
# webget's line for a body into memory, a body into a file (compared with the
# server's bytes as curl gets them), a 404, a closed port and a server that
# never answers; its exit status.
set -u
wine_run=$1; webget=$2; work=$3
url=http://127.0.0.1:$OSTREL_TEST_SERVER_PORT
fail=0
expect() {  # expect PATTERN STATUS -- ARGS...
  pattern=$1; status=$2; shift 3
  "$wine_run" "$webget" "$@" > "$work/line.txt" 2>/dev/null; code=$?
  line=$(tr -d '\r' < "$work/line.txt")
  if ! echo "$line" | grep -Eq "^$pattern\$" || [ $code -ne $status ]; then
    echo "webget $*: '$line' (exit $code), wanted '$pattern' (exit $status)"; fail=1
  fi
}
expect "result 0 status 200 length 10001 bytes 10001 ms [0-9]+ reallocations 0" 0 -- "$url/bytes/10001"
expect "result 0 status 200 length -1 bytes 40001 ms [0-9]+ reallocations 2" 0 -- "$url/chunked/40001"
expect "result 0 status 200 length 9999 bytes 9999 ms [0-9]+ reallocations 0" 0 -- "$url/bytes/9999" "Z:$work/out.bin"
curl -s --noproxy '*' "$url/bytes/9999" | cmp -s - "$work/out.bin" || { echo "file differs from curl's"; fail=1; }
# A scheme is read in either case: HTTP:// is the same address.
expect "result 0 status 200 length 10001 bytes 10001 ms [0-9]+ reallocations 0" 0 -- "HTTP://127.0.0.1:$OSTREL_TEST_SERVER_PORT/bytes/10001"
expect "result -6 status 404 length [0-9-]+ bytes 0 ms [0-9]+ reallocations 0" 1 -- "$url/status/404"
expect "result -5 status -1 length -1 bytes 0 ms [0-9]+ reallocations 0" 1 -- "http://127.0.0.1:9/"
# A server that accepts and never answers: the TLS handshake, which no
# time-out of WinINet's binds, ends 2 s past the 2 s time-out, and the file
# the download would have made is not there.
silent=https://127.0.0.1:$OSTREL_TEST_SILENT_PORT
expect "result -5 status -1 length -1 bytes 0 ms (3[5-9][0-9]{2}|[4-9][0-9]{3}|1[0-9]{4}) reallocations 0" 1 -- -t 2000 "$silent/"
expect "result -5 status -1 length -1 bytes 0 ms (3[5-9][0-9]{2}|[4-9][0-9]{3}|1[0-9]{4}) reallocations 0" 1 -- -t 2000 "$silent/x.qdx" "Z:$work/never.bin"
[ ! -e "$work/never.bin" ] || { echo "the silent server's download left a file"; fail=1; }
exit $fail
