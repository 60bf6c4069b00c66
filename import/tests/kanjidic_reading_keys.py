#!/usr/bin/env python3
# Independent reading of what index 101 of a compiled KANJIDIC must hold:
# one key for every kana token of every kanji line (a token whose first
# character, after a leading "-", is hiragana or katakana), the name readings
# after "T1" and the radical names after "T2" included.
# First line: "TOKENS NAME_TOKENS" over Debian's kanjidic (EUC-JP, decoded
# by iconv); then one line "READING TAB KANJI" per name reading (nanori) that
# kanjidic2.xml gives for a kanji of that file, the reading's kana only.
# Usage: kanjidic_reading_keys.py [KANJIDIC] [KANJIDIC2]
import gzip
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

kanjidic = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/edict/kanjidic"
kanjidic2 = sys.argv[2] if len(sys.argv) > 2 else "/usr/share/edict/kanjidic2.xml.gz"


def is_kana(c):
    return "\u3041" <= c <= "\u309e" or "\u30a1" <= c <= "\u30fe"


text = subprocess.run(["iconv", "-f", "EUC-JP", "-t", "UTF-8", kanjidic], capture_output=True,
                      check=True).stdout.decode("utf-8")
tokens = names = 0
literals = set()
for number, line in enumerate(text.split("\n")):
    fields = re.findall(r"\{[^}]*\}?|[^\s{]+", line)
    if number == 0 or not fields or len(fields[0]) != 1 or fields[0] < "\u3000":
        continue
    literals.add(fields[0])
    after_names = False
    for token in fields[1:]:
        if token in ("T1", "T2"):
            after_names = True
        elif is_kana(token.lstrip("-")[:1]):
            tokens += 1
            names += after_names
print(tokens, names)
for _, character in ET.iterparse(gzip.open(kanjidic2), events=("end",)):
    if character.tag == "character":
        literal = character.findtext("literal")
        if literal in literals:
            for nanori in character.iter("nanori"):
                print("".join(c for c in nanori.text if is_kana(c)) + "\t" + literal)
        character.clear()
