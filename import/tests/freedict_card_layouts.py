#!/usr/bin/env python3
"""Writes Debian's dict-freedict-jpn-rus (dictd) as a DSL source (with one
#INCLUDE) and as a WARODAI text, with what each article must hold; and
dict-freedict-eng-rus as DSL cards with bold, italic and transcription tags.

  freedict_card_layouts.py OUTDIR        the sources and the facts
  freedict_card_layouts.py english FILE  the English-Russian cards
  freedict_card_layouts.py peer FILE     the headwords of each article of a
                                         DSL file as python3-pyglossary reads it
Facts: one line per article, fields split by U+001E, list items by U+001F.
"""
import gzip
import os
import re
import sys

DICT = "/usr/share/dictd/freedict-jpn-rus"
ENGLISH = "/usr/share/dictd/freedict-eng-rus"
B64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"


def number(text):
    value = 0
    for c in text:
        value = value * 64 + B64.index(c)
    return value


def entries(dictionary=DICT):
    """(headwords, the forms line, lines of the definition) in the order of the data file."""
    data = gzip.open(dictionary + ".dict.dz").read()
    by_span = {}
    for line in open(dictionary + ".index", encoding="utf-8"):
        word, offset, size = line.rstrip("\n").split("\t")
        if word.startswith("00database"):
            continue
        by_span.setdefault((number(offset), number(size)), []).append(word)
    for (offset, size), words in sorted(by_span.items()):
        words = [w for w in dict.fromkeys(words) if w.strip()]
        text = data[offset:offset + size].decode("utf-8")
        lines = [l.strip() for l in text.split("\n")]
        yield words, lines[0], [l for l in lines[1:] if l]


def escape(text):
    return re.sub(r"([\[\]{}()\\~@^<>#])", r"\\\1", text)


def is_kana(word):
    return all(0x3041 <= ord(c) <= 0x30FE for c in word)


def forms(first_line):
    """The written forms of a definition's first line, IPA and notes removed."""
    line = re.sub(r"/[^/]*/", "", first_line)
    line = re.sub(r"\[[^\]]*\]|\([^)]*\)", "", line)
    return [f.strip() for f in line.split(",") if f.strip()]


def write_utf16(path, text, bom=True):
    with open(path, "wb") as f:
        f.write((("\ufeff" if bom else "") + text).encode("utf-16-le"))


def main(out):
    os.makedirs(out + "/part", exist_ok=True)
    items = list(entries())
    dsl_main = ['#NAME "Japanese-Russian"', '#INDEX_LANGUAGE "Japanese"', '#CONTENTS_LANGUAGE "Russian"',
                "{{made from dict-freedict-jpn-rus}}"]
    dsl_part, dsl_facts = [], []
    warodai, warodai_facts = ["*dict-freedict-jpn-rus, as cards", ""], []
    for n, (words, _, lines) in enumerate(items):
        if not lines:
            continue
        target = dsl_part if n >= len(items) - 1000 else dsl_main
        target += [escape(w) for w in words]
        target += ["\t[m1][trn]%s[/trn]" % escape(l) for l in lines]
        dsl_facts.append("\x1f".join(escape(w) for w in words) + "\x1e" + re.sub("[\x00-\x20]+", " ", " ".join(lines)).strip(" "))
    dsl_main.append('#INCLUDE "part/jpn-rus-part.dsl"')
    write_utf16(out + "/jpn-rus.dsl", "\n".join(dsl_main) + "\n")
    write_utf16(out + "/part/jpn-rus-part.dsl", "\n".join(dsl_part) + "\n", bom=False)
    write_utf16(out + "/jpn-rus-peer.dsl", "\n".join(dsl_main[:3] + dsl_main[4:-1] + dsl_part) + "\n")
    with open(out + "/dsl_facts.txt", "w", encoding="utf-8") as f:
        f.write("\n".join(dsl_facts) + "\n")

    number_ = 0
    for _, first, lines in items:
        all_forms = forms(first)
        readings = [f for f in all_forms if is_kana(f)]
        writings = [f for f in all_forms if not is_kana(f)]
        senses = ["%d) %s" % (i + 1, s) for i, s in enumerate(lines)]
        if not lines or not readings or any(re.search("[・･,】【\u2026 ]|I$", w) for w in writings):
            continue
        number_ += 1
        head = ", ".join(readings) + ("【%s】" % "・".join(writings) if writings else "")
        warodai += [head + "〔%03d-00-00〕" % (number_ % 1000)] + senses + [""]
        warodai_facts.append("\x1f".join(readings) + "\x1e" + "\x1f".join(writings) + "\x1e" + "\x1f".join(senses))
    write_utf16(out + "/jpn-rus.warodai", "\r\n".join(warodai))
    with open(out + "/warodai_facts.txt", "w", encoding="utf-8") as f:
        f.write("\n".join(warodai_facts) + "\n")


def english(path):
    """Each card: its headwords; "[b]Form[/b] [t]sounds[/t]"; then "[i]n.[/i] [trn]sense[/trn]"."""
    cards = ['#NAME "English-Russian"', '#INDEX_LANGUAGE "English"', '#CONTENTS_LANGUAGE "Russian"']
    for words, first, lines in entries(ENGLISH):
        if not lines:
            continue
        sounds = re.search(r"/([^/]*)/", first)
        form = escape(re.sub(r"/[^/]*/", "", first).strip()) or escape(words[0])
        cards += [escape(w) for w in words]
        cards.append("\t[m1][b]%s[/b]" % form + (" [t]%s[/t]" % escape(sounds.group(1)) if sounds else ""))
        cards += ["\t[m2][i]%d.[/i] [trn]%s[/trn]" % (i + 1, escape(l)) for i, l in enumerate(lines)]
    write_utf16(path, "\n".join(cards) + "\n")


def peer(path):
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../article/tests"))
    from dsl_cards_peer import cards
    for words, _ in cards(path):
        sys.stdout.write("\x1f".join(words) + "\n")


if __name__ == "__main__":
    {"peer": peer, "english": english}.get(sys.argv[1], lambda _: main(sys.argv[1]))(sys.argv[-1])
