#!/usr/bin/env python3
"""Writes Debian's dict-freedict-jpn-rus (dictd) as a DSL source (with one
#INCLUDE) and as a WARODAI text, with what each article must hold; and
dict-freedict-eng-rus as DSL cards with bold, italic and transcription tags.

  freedict_card_layouts.py OUTDIR        the sources and the facts
  freedict_card_layouts.py english FILE  the English-Russian cards
  freedict_card_layouts.py phrases DIR   WARODAI articles whose compounds
                                         are tilde phrases, and their columns
  freedict_card_layouts.py peer FILE     the headwords of each article of a
                                         DSL file as python3-pyglossary reads it
  freedict_card_layouts.py pronounced NAME FILE
                                         freedict-NAME (jpn-rus, eng-rus,
                                         lat-eng) as DSL cards whose first
                                         line keeps the forms' pronunciations
Facts: one line per article, fields split by U+001E, list items by U+001F.
"""
import bisect
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


def pronounced(name, path):
    """Each card: its headwords; the definition's first line as it stands (the
    forms with their pronunciations, "あの /ˈäno̞/, かの /kˈäno̞/"); then its senses."""
    source, target = {"jpn-rus": ("Japanese", "Russian"), "eng-rus": ("English", "Russian"),
                      "lat-eng": ("Latin", "English")}[name]
    cards = ['#NAME "freedict %s"' % name, '#INDEX_LANGUAGE "%s"' % source, '#CONTENTS_LANGUAGE "%s"' % target]
    for words, first, lines in entries("/usr/share/dictd/freedict-" + name):
        cards += [escape(w) for w in words]
        cards.append("\t[m1]%s" % escape(first))
        cards += ["\t[m2][trn]%s[/trn]" % escape(l) for l in lines]
    write_utf16(path, "\n".join(cards) + "\n")


def senses_column(parts):
    """A senses column as a WARODAI list shows it: lines joined by blanks, at
    most 254 units, a trailing ".,;" cut and a trailing ":" written "..."."""
    text = " ".join(p for p in parts if p)[:254]
    if text.endswith((".", ",", ";")):
        text = text[:-1]
    elif text.endswith(":"):
        text = text[:-1] + "..."
    return text


def phrases(out):
    """Articles of jpn-rus with a writing and a reading; each other entry
    whose writing and reading begin with the article's first ones becomes a
    phrase line: its writings after that prefix as "～rest" (one to three
    tildes), then its gloss, or its glosses as numbered senses below it.
    Facts, one line per article (U+001E between fields): its reading, the
    column of the whole article, then per phrase line its tilde count and
    its column."""
    os.makedirs(out, exist_ok=True)
    articles = []
    for _, first, lines in entries():
        all_forms = forms(first)
        readings = [f for f in all_forms if is_kana(f)]
        writings = [f for f in all_forms if not is_kana(f)]
        if lines and readings and writings and not any(re.search("[・･,】【\u2026 ～]|I$", w) for w in writings):
            articles.append((readings, writings, lines))
    by_writing = sorted((w, n) for n, (_, writings, _) in enumerate(articles) for w in writings)
    text, facts = ["*dict-freedict-jpn-rus, compounds as phrases", ""], []
    for n, (readings, writings, lines) in enumerate(articles):
        head, reading = writings[0], readings[0]
        compounds = set()
        for w, m in by_writing[bisect.bisect_right(by_writing, (head, len(articles))):]:
            if not w.startswith(head):
                break
            if any(r.startswith(reading) and r != reading for r in articles[m][0]):
                compounds.add(m)
        compounds = sorted(compounds)
        if not compounds:
            continue
        senses = ["%d) %s" % (i + 1, s) for i, s in enumerate(lines)]
        body, fact = list(senses), [reading, senses_column(senses)]
        for m in compounds:
            rests = [w[len(head):] for w in articles[m][1] if w.startswith(head) and w != head][:3]
            glosses = articles[m][2]
            tildes = ", ".join("\uff5e" + r for r in rests)
            if len(glosses) == 1:
                body.append(tildes + " " + glosses[0])
                fact += [str(len(rests)), senses_column(glosses)]
            else:
                numbered = ["%d) %s" % (i + 1, g) for i, g in enumerate(glosses)]
                body += [tildes] + numbered
                fact += [str(len(rests)), senses_column(numbered)]
        text += [", ".join(readings) + "【%s】" % "・".join(writings) + "〔%03d-00-00〕" % (n % 1000)] + body + [""]
        facts.append("\x1e".join(fact))
    write_utf16(out + "/jpn-rus-phrases.warodai", "\r\n".join(text))
    with open(out + "/warodai_phrase_facts.txt", "w", encoding="utf-8") as f:
        f.write("\n".join(facts) + "\n")


def peer(path):
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../article/tests"))
    from dsl_cards_peer import cards
    for words, _ in cards(path):
        sys.stdout.write("\x1f".join(words) + "\n")


if __name__ == "__main__" and sys.argv[1] == "pronounced":
    pronounced(sys.argv[2], sys.argv[3])
elif __name__ == "__main__":
    {"peer": peer, "english": english, "phrases": phrases}.get(sys.argv[1], lambda _: main(sys.argv[1]))(sys.argv[-1])
