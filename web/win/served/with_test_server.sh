#!/bin/sh
# Runs a command beside the web tests' HTTP server on 127.0.0.1:
#   with_test_server.sh WORKDIR ROOT EXE_OR_EMPTY [curl] -- COMMAND...
# The server's port, log and root reach the command as OSTREL_TEST_SERVER_PORT,
# OSTREL_TEST_SERVER_LOG and OSTREL_TEST_SERVER_ROOT, its port that accepts and
# never answers as OSTREL_TEST_SILENT_PORT (EXE: the program whose
# CRC the server checks in update requests). ROOT/record_url.sh is a browser
# that appends the URLs it is given to ROOT/browser.log. With "curl", curl first fetches
# the bodies the tests compare with into WORKDIR/curl (OSTREL_TEST_CURL_DIR):
# a peer client on the same URLs. The server started here is stopped here,
# by its own process id.
set -eu
work=$1; root=$2; exe=$3; shift 3
fetch=no
if [ "$1" = curl ]; then fetch=yes; shift; fi
shift  # --
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" "$root"; mkdir -p "$work/curl" "$root"
# A browser for Wine's WineBrowser setting that only records the URLs it is given.
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s/browser.log"\n' "$root" > "$root/record_url.sh"
chmod +x "$root/record_url.sh"
python3 "$here/test_server.py" --port-file "$work/port" --log "$work/requests.log" --root "$root" --exe "$exe" &
server=$!
trap 'kill $server 2>/dev/null || true; wait $server 2>/dev/null || true; rm -rf "$work/curl"' EXIT
for i in $(seq 200); do [ -f "$work/port" ] && break; sleep 0.05; done
port=$(cat "$work/port"); silent_port=$(cat "$work/port.silent")
if [ $fetch = yes ]; then
  for n in 0 1 9999 10000 10001 40001 67108864; do
    curl -s --noproxy '*' -o "$work/curl/bytes_$n" "http://127.0.0.1:$port/bytes/$n"
    [ "$n" -lt 1000000 ] && curl -s --noproxy '*' -o "$work/curl/chunked_$n" "http://127.0.0.1:$port/chunked/$n"
  done
  for how in close-1.1 close-1.0 length-tab length-zeros length-1.0; do
    curl -s --noproxy '*' -o "$work/curl/whole_$how" "http://127.0.0.1:$port/whole/$how"
  done
fi
export OSTREL_TEST_SERVER_PORT=$port OSTREL_TEST_SILENT_PORT=$silent_port OSTREL_TEST_SERVER_LOG=$work/requests.log OSTREL_TEST_SERVER_ROOT=$root
export OSTREL_TEST_CURL_DIR=$work/curl
"$@"
