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
touch "$out/stamp"
