#!/usr/bin/env python3
# Independent count of what a compile of an EDICT-format file must hold:
# articles (lines with a "/" after the header), index 101 entries (readings x
# max(1, words) per line) and index 102 entries (words x max(1, readings)),
# the index 101 entries of the lines a sense of exactly "(P)" marks common,
# and, of the lines with grammar groups (a "(" before the first sense that
# opens no sense number, or "(P)"), those whose senses say "(uk)" (usually
# written in kana) and those whose do not.
# Usage: edict_key_counts.py FILE   (EUC-JP, decoded by iconv)
import re
import subprocess
import sys

text = subprocess.run(["iconv", "-f", "EUC-JP", "-t", "UTF-8", sys.argv[1]],
                      capture_output=True, check=True).stdout.decode("utf-8")
articles = readings_keys = words_keys = common_keys = kana_keys = kanji_keys = 0
lines = [l.rstrip("\r") for l in text.split("\n") if l.strip("\r")]
for number, line in enumerate(lines):
    if number == 0 and re.match("(\uff1f|\\?|\u3000\uff1f)", line):
        continue
    if "/" not in line:
        continue
    head = line.split("/", 1)[0]
    m = re.match(r"^([^\[\]\u3010\u3011]*)[\[\u3010]([^\[\]\u3010\u3011]*)[\]\u3011]", head)
    if m is None and re.search(r"[\[\]\u3010\u3011]", head):
        continue
    articles += 1
    def names(lst):
        return [p for p in (piece.split("(", 1)[0].rstrip(" \t\u3000") for piece in lst.split(";")) if p]
    words, readings = (names(m.group(1)), names(m.group(2))) if m else ([], names(head))
    readings_keys += len(readings) * max(1, len(words))
    words_keys += len(words) * max(1, len(readings))
    if "(P)" in line.split("/")[1:]:
        common_keys += len(readings) * max(1, len(words))
    senses = line.split("/")[1:]
    if re.match(r"[ \t\u3000]*\((?!\d)", senses[0]) or "(P)" in senses:
        if "(uk)" in line.split("/", 1)[1]:
            kana_keys += len(readings) * max(1, len(words))
        else:
            kanji_keys += len(readings) * max(1, len(words))
print(articles, readings_keys, words_keys)
print(common_keys)
print(kana_keys, kanji_keys)
