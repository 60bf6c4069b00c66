#!/usr/bin/env python3
"""Lays out Debian's dict-freedict-eng-jpn, as python3-pyglossary reads the
dictd source, as an EIJIRO line text and as the word list of a PDIC file,
for the real-content tests of those importers. Run it with /usr/bin/python3,
which sees Debian's pyglossary.

usage: freedict_eng_jpn_layouts.py OUTDIR

Each entry gives its headword (pyglossary's first word) and its sense: the
definition's lines after the first (headword and pronunciation), joined by
" / ". Entries whose headword the line rules would change (":" "{" "；" "■",
blanks at either end, a trailing digit or ")", which PDIC takes for a homonym
number) are skipped, and so are entries that code page 932 cannot hold or give back.
Writes:
  eijiro.txt     "■headword : sense" lines in code page 932, CR LF
  pdic.tsv       "headword TAB sense" lines in code page 932 (for the test's PDIC writer)
  expected.tsv   "headword TAB sense" lines in UTF-8
  counts.txt     entries read, taken, skipped by the rules, skipped for code page 932
"""
import gzip
import os
import shutil
import sys
import tempfile

SOURCE = "/usr/share/dictd/freedict-eng-jpn.index"


def main():
    # pyglossary reads the entries in headword order, each at its offset in
    # the dictd text: in the dictzip file each step back decompresses it
    # again from its start (a minute), so it reads the text unpacked beside
    # a copy of the index.
    with tempfile.TemporaryDirectory() as unpacked:
        base = os.path.join(unpacked, os.path.basename(SOURCE)[:-len(".index")])
        shutil.copy(SOURCE, base + ".index")
        with gzip.open(SOURCE[:-len(".index")] + ".dict.dz") as packed, open(base + ".dict", "wb") as text:
            shutil.copyfileobj(packed, text)
        write_layouts(base + ".index", sys.argv[1])


def write_layouts(source, out):
    from pyglossary.glossary import Glossary
    Glossary.init()
    glossary = Glossary()
    if not glossary.read(source, format="DictOrg", direct=True):
        sys.exit(1)
    read = rules = cp932 = 0
    eijiro, pdic, expected = [], [], []
    for entry in glossary:
        if entry.isData() or entry.l_word[0].startswith("00database"):
            continue
        read += 1
        word = entry.l_word[0]
        lines = [line for line in entry.defi.split("<br />")[1:] if line.strip()]
        sense = " / ".join(lines)
        if (not word or word != word.strip() or any(c in word for c in ":{；■\t\r\n") or word[-1].isdigit()
                or word[-1] == ")" or not sense or any(c in sense for c in "\r\n\x00")):
            rules += 1
            continue
        try:
            word_bytes, sense_bytes = word.encode("cp932"), sense.encode("cp932")
        except UnicodeEncodeError:
            cp932 += 1
            continue
        # Python encodes a few characters (U+2212 minus, ...) to codes that
        # decode to other characters: such an entry cannot come back whole.
        if word_bytes.decode("cp932") != word or sense_bytes.decode("cp932") != sense:
            cp932 += 1
            continue
        eijiro.append("■".encode("cp932") + word_bytes + b" : " + sense_bytes + b"\r\n")
        pdic.append(word_bytes + b"\t" + sense_bytes + b"\n")
        expected.append("%s\t%s\n" % (word, sense))
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "eijiro.txt"), "wb") as f:
        f.write(b"".join(eijiro))
    with open(os.path.join(out, "pdic.tsv"), "wb") as f:
        f.write(b"".join(sorted(pdic)))
    with open(os.path.join(out, "expected.tsv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(expected))
    with open(os.path.join(out, "counts.txt"), "w") as f:
        f.write("read %d\ntaken %d\nrules %d\ncp932 %d\n" % (read, len(expected), rules, cp932))


if __name__ == "__main__":
    main()
