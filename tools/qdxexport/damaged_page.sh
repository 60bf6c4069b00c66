#!/bin/sh
# qdxexport over a compiled EDICT slice with one damaged data page: the
# articles on it are skipped and counted (stderr names how many, status 3),
# and every other article is exported unchanged, in order, as from the whole
# file; the RTF export counts the same. A text export whose write fails over
# an existing file leaves that file as it was, no temporary file, status 1.
# usage: damaged_page.sh QDXC QDXEXPORT WORK_DIR
set -eu
qdxc=$1 qdxexport=$2 work=$3
here=$(dirname "$0")
rm -rf "$work" && mkdir -p "$work"
edict=/usr/share/edict/edict
[ -r "$edict" ] || { echo "edict not installed: skipped"; exit 0; }
awk 'NR == 1 || NR % 60 == 0' "$edict" > "$work/slice"
"$qdxc" --deterministic "$work/slice" "$work/whole.qdx" 2>/dev/null
python3 "$here/damage_data_page.py" "$work/whole.qdx" "$work/damaged.qdx"
"$qdxexport" --text "$work/whole.qdx" "$work/whole.txt" 2>"$work/whole.log"
status=0
"$qdxexport" --text "$work/damaged.qdx" "$work/damaged.txt" 2>"$work/text.log" || status=$?
rtf_status=0
"$qdxexport" "$work/damaged.qdx" "$work/damaged.rtf" 2>"$work/rtf.log" || rtf_status=$?
python3 - "$work" "$status" "$rtf_status" <<'EOF'
import re
import sys
work, status, rtf_status = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
def articles(name):
    return open(f"{work}/{name}", "rb").read().decode("utf-8").split("\r\n\r\n")
whole, damaged = articles("whole.txt"), articles("damaged.txt")
at = 0
for article in damaged:  # each the next one of the whole export it equals
    at = whole.index(article, at) + 1
missing = len(whole) - len(damaged)
assert missing > 0, "the damage lost nothing"
records = re.search(r"qdxexport: (\d+) records", open(f"{work}/whole.log").read()).group(1)
wanted = f"qdxexport: {missing} of {records} records could not be read and were skipped"
for log, st in (("text.log", status), ("rtf.log", rtf_status)):
    said = open(f"{work}/{log}").read()
    assert wanted in said, f"{log} says {said!r}, not {wanted!r}"
    assert st == 3, f"{log}: status {st}"
print(f"{missing} of {records} articles skipped and counted, the rest unchanged")
EOF
printf 'old' > "$work/kept.txt"
status=0
(trap '' XFSZ; ulimit -f 8; exec "$qdxexport" --text "$work/whole.qdx" "$work/kept.txt") 2>"$work/full.log" || status=$?
if [ "$status" != 1 ] || [ "$(cat "$work/kept.txt")" != old ] || [ "$(ls "$work" | grep -c '^kept')" != 1 ]; then
  echo "a failed write over kept.txt: status $status"; cat "$work/full.log"; ls "$work"; exit 1
fi
echo "a failed write kept the old file"
