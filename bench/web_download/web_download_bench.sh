#!/bin/sh
# Times one 64 MB body three ways from the same loopback server: curl -o,
# webget into a file, webget into memory (with and without Content-Length).
# Run by the web_download_bench target beside with_test_server.sh.
set -eu
wine_run=$1; webget=$2; work=$3
url=http://127.0.0.1:$OSTREL_TEST_SERVER_PORT
n=67108864
ms() { date +%s%3N; }
# Wine's start-up is not the transfer: webget reports the transfer's own time.
curl_best=999999
for i in 1 2 3; do
  t0=$(ms); curl -s --noproxy '*' -o "$work/curl.bin" "$url/bytes/$n"; t1=$(ms)
  [ $((t1 - t0)) -lt $curl_best ] && curl_best=$((t1 - t0))
done
echo "curl -o        ${curl_best} ms"
best() {  # best of three webget runs: prints the line with the least ms
  for i in 1 2 3; do "$wine_run" "$webget" "$@" 2>/dev/null | tr -d '\r'; done | sort -t' ' -k10 -n | head -1
}
file_line=$(best "$url/bytes/$n" "Z:$work/webget.bin")
memory_line=$(best "$url/bytes/$n")
chunked_line=$(best "$url/chunked/$n")
cmp "$work/curl.bin" "$work/webget.bin" && echo "file identical to curl's"
for kind in file memory chunked; do
  eval line=\$${kind}_line
  t=$(echo "$line" | awk '{print $10}')
  echo "webget $kind: $line  ratio to curl $(awk "BEGIN{printf \"%.2f\", $t / $curl_best}")"
done
rm -f "$work/curl.bin" "$work/webget.bin"
