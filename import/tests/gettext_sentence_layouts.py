#!/usr/bin/env python3
"""Lays out the message pairs of a gettext domain (Debian's coreutils
catalogs by default) as example-sentence sources, for the real-content tests
of the Examples, Tatoeba and parallel-text importers.

usage: gettext_sentence_layouts.py OUTDIR [DOMAIN [ID_BASE]]

Reads /usr/share/locale/{ru,ja,zh_CN}/LC_MESSAGES/DOMAIN.mo with Python's
gettext. A message takes part when it is not plural, both Russian and
Japanese translate it, and neither it nor a translation holds a line break,
a TAB, "#", "<" or another control character, or is blank. Writes:
  examples.txt           "A: ja<TAB>en#ID=n" and "B: ru" lines, UTF-8
  tatoeba/sentences.csv  "id<TAB>lang<TAB>text", sorted by id; id 1 is Chinese
  tatoeba/links.csv      every direction between the three, runs shuffled
  book.txt               a header group, then groups of three lines
                         (en, ru, ja), two messages a group joined by "<+>"
  expected_examples.tsv  per article: ja, en, "#ID=n\\nB: ru\\n" (escaped)
  expected_tatoeba.tsv   per article in links order: ja, en, ru
  expected_book.tsv      per row: its three lines
  counts.txt             messages read, taken, skipped
ID_BASE (default 0) is added to every Tatoeba id but the first: the
benchmark's check that the loader's memory grows with the largest id only
by its one-byte table.
"""
import gettext
import os
import random
import sys

LOCALE = "/usr/share/locale"


def catalog(language, domain):
    with open(os.path.join(LOCALE, language, "LC_MESSAGES", domain + ".mo"), "rb") as f:
        return gettext.GNUTranslations(f)._catalog


def usable(text):
    return (isinstance(text, str) and text.strip() != "" and "#" not in text and "<" not in text
            and all(ord(c) >= 0x20 and ord(c) != 0x7F for c in text))


def main():
    out = sys.argv[1]
    domain = sys.argv[2] if len(sys.argv) > 2 else "coreutils"
    id_base = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    ru, ja = catalog("ru", domain), catalog("ja", domain)
    try:
        zh = catalog("zh_CN", domain)
    except OSError:
        zh = {}
    read = [k for k in ru if isinstance(k, str) and k != ""]
    messages = []
    for en in sorted(read):
        r, j = ru.get(en), ja.get(en)
        if r is None or j is None or not (usable(en) and usable(r) and usable(j)):
            continue
        messages.append((en, r, j))
    os.makedirs(os.path.join(out, "tatoeba"), exist_ok=True)

    def write(name, lines):
        with open(os.path.join(out, name), "w", encoding="utf-8", newline="\n") as f:
            f.write("".join(lines))

    write("counts.txt", ["read %d\ntaken %d\nskipped %d\n" % (len(read), len(messages), len(read) - len(messages))])
    write("examples.txt", ["A: %s\t%s#ID=%d\nB: %s\n" % (j, en, i, r) for i, (en, r, j) in enumerate(messages)])
    write("expected_examples.tsv",
          ["%s\t%s\t#ID=%d\\nB: %s\\n\n" % (j, en, i, r) for i, (en, r, j) in enumerate(messages)])

    # Ids 1,500 apart, so the line ordinals cross windows of a million ids;
    # the three languages take turns in which comes first.
    sentences = [(1, "cmn", zh.get(messages[0][0], messages[0][0]) if messages else "x")]
    runs = []
    for i, (en, r, j) in enumerate(messages):
        base = 2 + 1500 * i + id_base
        ids = {"eng": base + i % 3, "rus": base + (i + 1) % 3, "jpn": base + (i + 2) % 3}
        for lang, text in (("eng", en), ("rus", r), ("jpn", j)):
            sentences.append((ids[lang], lang, text))
        for first in ("jpn", "eng", "rus"):
            run = [(ids[first], ids[second]) for second in ("jpn", "eng", "rus") if second != first]
            runs.append((first, i, run))
    sentences.sort()
    shuffle = random.Random(30)
    shuffle.shuffle(runs)
    links = []
    order = []
    for first, i, run in runs:
        shuffle.shuffle(run)
        links += run
        if first == "jpn":
            order.append(i)
    write("tatoeba/sentences.csv", ["%d\t%s\t%s\n" % s for s in sentences])
    write("tatoeba/links.csv", ["%d\t%d\n" % link for link in links])
    write("expected_tatoeba.tsv", ["%s\t%s\t%s\n" % (messages[i][2], messages[i][0], messages[i][1]) for i in order])

    header = ["<Latn>English", "<Cyrl>Русский", "<Jpan>日本語"]
    book = ["\n".join(header) + "\n"]
    rows = ["\t".join(header) + "\n"]
    for at in range(0, len(messages), 2):
        pair = messages[at:at + 2]
        lead = "<H1>" if at % 20 == 0 else "<P>"
        lines = []
        for k in range(3):
            segments = [lead + pair[0][k]] + ["<+>" + m[k] for m in pair[1:]]
            lines.append("".join(segments))
        book.append("\n" + "\n".join(lines) + "\n")
        rows.append("\t".join(lead + pair[0][k] for k in range(3)) + "\n")
        for m in pair[1:]:
            rows.append("\t".join("<+>" + m[k] for k in range(3)) + "\n")
    write("book.txt", book)
    write("expected_book.tsv", rows)


if __name__ == "__main__":
    main()
