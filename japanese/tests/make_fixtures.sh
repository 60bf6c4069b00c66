#!/bin/sh
# Makes UTF-8 copies of the IPA dictionary's verb and adjective sources and of
# EDICT for the conjugation sweeps (an absent source leaves its copy out).
set -e
out="$1"
mkdir -p "$out"
ipadic=/usr/share/mecab/dic/ipadic
for f in Verb Adj; do
  if [ -f "$ipadic/$f.csv" ]; then
    iconv -f EUC-JP -t UTF-8 "$ipadic/$f.csv" > "$out/$f.csv.tmp" && mv "$out/$f.csv.tmp" "$out/$f.csv"
  fi
done
if [ -f /usr/share/edict/edict ]; then
  iconv -f EUC-JP -t UTF-8 /usr/share/edict/edict > "$out/edict.tmp" && mv "$out/edict.tmp" "$out/edict.utf8"
fi
# The phrase splitter's keys, cut from Debian's Japanese documentation and read by MeCab.
if command -v python3 >/dev/null 2>&1; then
  python3 "$(dirname "$0")/make_phrase_keys.py" golden "$out/phrase_golden_keys.txt" || :
  python3 "$(dirname "$0")/make_phrase_keys.py" mecab "$out/phrase_mecab_keys.txt" || :
fi
touch "$out/stamp"
