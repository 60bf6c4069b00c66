#!/usr/bin/env python3
"""Writes the characters of Debian's Unihan_Readings (unicode-data) that have
a Japanese reading as a DSL character database in Unihan mode, for the DSL
importer's real-content test.

usage: unihan_readings_dsl.py OUTDIR

  unihan.dsl    UTF-8: '#NAME "Unihan Database"', then per character its
                line and body lines in a scrambled order (Unicode, Japanese
                kun, definition, Mandarin, Japanese on, Cantonese); the
                importer's Unihan order puts on and kun before the rest
  expected.tsv  per article: the character, then its readings in the order
                the reordered article gives them (kJapaneseOn, kJapaneseKun,
                kMandarin), blank-separated
"""
import bz2
import os
import sys

SOURCE = "/usr/share/unicode/Unihan_Readings.txt.bz2"


def escaped(text):
    return text.replace("\\", "\\\\").replace("[", "\\[").replace("]", "\\]")


def main():
    out = sys.argv[1]
    fields = {}
    with bz2.open(SOURCE, "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("U+"):
                code, field, value = line.rstrip("\n").split("\t", 2)
                fields.setdefault(int(code[2:], 16), {})[field] = value
    articles, expected = ['#NAME "Unihan Database"\n'], []
    for code in sorted(fields):
        f = fields[code]
        if "kJapaneseOn" not in f and "kJapaneseKun" not in f:
            continue
        lines = [chr(code), " [m1][b]Unicode:[/b] U+%04X" % code]
        if "kJapaneseKun" in f:
            lines.append(" [m1][b]Japanese(Kun):[/b] [c]%s[/c]" % f["kJapaneseKun"])
        if "kDefinition" in f:
            lines.append(" [m1][b] Definition:[/b] [u]%s[/u]" % escaped(f["kDefinition"]))
        if "kMandarin" in f:
            lines.append(" [m1][b]Mandarin(P):[/b] [c]%s[/c]" % f["kMandarin"])
        if "kJapaneseOn" in f:
            lines.append(" [m1][b]Japanese(On):[/b] [c]%s[/c]" % f["kJapaneseOn"])
        if "kCantonese" in f:
            lines.append(" [m1][b]Cantonese:[/b] %s" % f["kCantonese"])
        articles.append("\n".join(lines) + "\n")
        readings = [f.get(k, "") for k in ("kJapaneseOn", "kJapaneseKun", "kMandarin")]
        expected.append("%s\t%s\n" % (chr(code), " ".join(r for r in readings if r)))
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "unihan.dsl"), "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(articles))
    with open(os.path.join(out, "expected.tsv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(expected))


if __name__ == "__main__":
    main()
