#!/usr/bin/env python3
# A YARXI source made from Debian's KANJIDIC, and the readings kanjidic2.xml
# gives for the same kanji, for the YARXI import test.
#   kanjidic_yarxi_source.py OUT [KANJIDIC] [KANJIDIC2]
# OUT gets a UTF-16LE "{\yarxi" text: one reading-list article per kanji,
#   {\a T{\j K}{\on [ROMAJI]}...{\k K}{\r [romaji]}...{\s meaning; ...}}
# with every on and kun reading romanised by kakasi (the markup is ours, the
# readings and their romaji are not). Standard output: one line per kanji,
#   literal TAB on,on (katakana) TAB kun,kun (hiragana, each once)
# from kanjidic2.xml. Readings whose romaji cannot name one kana spelling
# (ぢ/づ, ゐ/ゑ, the long-vowel mark, small vowels, a final small tsu, which
# kakasi writes "tsu", and ん before や/ゆ/よ, which it writes without the
# apostrophe) are left out of both; their count goes to standard error.
import gzip
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

out_path = sys.argv[1]
kanjidic = sys.argv[2] if len(sys.argv) > 2 else "/usr/share/edict/kanjidic"
kanjidic2 = sys.argv[3] if len(sys.argv) > 3 else "/usr/share/edict/kanjidic2.xml.gz"

AMBIGUOUS = set("ぢづヂヅゐゑヰヱーヴゔぁぃぅぇぉァィゥェォゎヮヵヶ")


def is_katakana(reading):
    return "\u30a1" <= reading.lstrip("-")[:1] <= "\u30fe"


def kana_of(reading):
    return reading.replace("-", "").replace(".", "")


def usable(reading):
    kana = kana_of(reading)
    return (kana != "" and not (set(kana) & AMBIGUOUS) and kana[-1] not in "っッ"
            and not re.search("[んン][やゆよヤユヨ]", kana))


def unique(items):
    seen, out = set(), []
    for item in items:
        if item not in seen:
            seen.add(item)
            out.append(item)
    return out


def to_hiragana(kana):
    return "".join(chr(ord(c) - 0x60) if "\u30a1" <= c <= "\u30f6" else c for c in kana)


# KANJIDIC: literal, katakana (on) and hiragana (kun) readings before the
# name readings ("T1", "T2"), meanings in braces.
entries = []
skipped = 0
with open(kanjidic, encoding="euc_jp", errors="replace") as source:
    for line in source:
        if line.startswith("#"):
            continue
        meanings = re.findall(r"\{([^}]*)\}", line)
        fields = re.sub(r"\{[^}]*\}", "", line).split()
        if not fields:
            continue
        on, kun = [], []
        for token in fields[1:]:
            if token in ("T1", "T2"):
                break
            head = token.lstrip("-")[:1]
            if "\u30a1" <= head <= "\u30fe":
                target = on
            elif "\u3041" <= head <= "\u3096":
                target = kun
            else:
                continue
            if usable(token):
                target.append(kana_of(token))
            else:
                skipped += 1
        entries.append((fields[0], on, kun, meanings))

# One kakasi run romanises every reading, a line each.
readings = [r for _, on, kun, _ in entries for r in on + kun]
romaji = subprocess.run(["kakasi", "-ieuc", "-oeuc", "-Ka", "-Ha"], input="\n".join(readings).encode("euc_jp") + b"\n",
                        stdout=subprocess.PIPE, check=True).stdout.decode("euc_jp").split("\n")
romaji_of = dict(zip(readings, romaji))

parts = ["\ufeff{\\yarxi \r\n"]
for literal, on, kun, meanings in entries:
    article = "{\\a T{\\j " + literal + "}"
    article += "".join("{\\on [" + romaji_of[r].upper() + "]}" for r in on)
    article += "{\\k " + literal + "}"
    article += "".join("{\\r [" + romaji_of[r] + "]}" for r in kun)
    if meanings:
        article += "{\\s " + "; ".join(meanings) + "}"
    parts.append(article + "}\r\n")
parts.append("}\r\n")
with open(out_path, "wb") as out:
    out.write("".join(parts).encode("utf-16-le"))

# The oracle: kanjidic2.xml's readings of the kanji written above.
literals = {literal for literal, _, _, _ in entries}
for _, character in ET.iterparse(gzip.open(kanjidic2), events=("end",)):
    if character.tag != "character":
        continue
    literal = character.findtext("literal")
    if literal in literals:
        on, kun = [], []
        for reading in character.iter("reading"):
            kind = reading.get("r_type")
            if kind not in ("ja_on", "ja_kun") or not usable(reading.text):
                continue
            # Katakana kun readings stand among KANJIDIC's on readings.
            (on if kind == "ja_on" or is_katakana(reading.text) else kun).append(kana_of(reading.text))
        print("\t".join([literal, ",".join(on), ",".join(unique(to_hiragana(k) for k in kun))]))
    character.clear()
print(f"{len(entries)} kanji, {skipped} readings left out", file=sys.stderr)
