#!/usr/bin/env python3
"""The dictionary keys of a DSL source, computed from the key rules alone, to
check the compiler's indexes 101, 102 and 106 against.

  dsl_keys_from_rules.py write OUTDIR   writes OUTDIR/freedict.dsl (UTF-16) from
      Debian's dict-freedict-jpn-rus (and jpn-fra) and dict-freedict-eng-rus: Japanese
      articles with kanji and kana headword lines, remarks hidden in [!trs],
      grammar notes in [p]; English cards whose headword carries its sounds
      as an unsorted "{...}" part; escapes wherever the text needs them
  dsl_keys_from_rules.py check DSL DUMPDIR [--words]
      compares DUMPDIR/101.txt, 102.txt and 106.txt (qdxdump --keys) with
      the keys the rules give for DSL; --words: the source was compiled with
      the "[trn]" words option
  dsl_keys_from_rules.py characters EXPECTED_TSV DUMPDIR
      the same for a character database (unihan_readings_dsl.py's articles,
      each a character record): 102 holds (character, "") alone, 101 each
      reading with the character

The rules, as the compiler is to apply them to format 9:
- a headword line (a line beginning above U+0020, not "#") is cleaned as
  index text (comments, tags, escapes' backslashes, "<<", ">>" and repeated
  blanks dropped) and is a word (4) when it holds a CJK ideograph, else a
  reading (3) with kana, else a translation (8) with a character below U+2000;
- index 101: every reading with every word (or with ""), 102: every word
  with every reading (or ""), both from the cleaned lines cut to 128 units;
- index 106: the translation lines (at most 200), cut to 256 units, every
  backslash dropped and "{...}" left out, then cut to 128;
- with the option, every word of the "[trn]" spans of the body (not in [p]
  or [!trs]) that holds neither kana nor an ideograph: (word, 1); the words
  are the word segments (Unicode 5.2 word-break table with the program's
  overrides) that hold a letter or a number, so "・" and CJK brackets stand
  alone: "x・1" gives "x" and "1";
- a character record (its readings are fields of the character) pairs its
  word with no reading in index 102.
"""
import os
import re
import sys
import unicodedata

sys.dont_write_bytecode = True  # the checkout stays as it was
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import freedict_card_layouts as freedict  # noqa: E402

MAX_KEY = 128
# Japanese-French: its translations cite other entries as "{何れ・1}".
FRENCH = "/usr/share/dictd/freedict-jpn-fra"


def write(out):
    os.makedirs(out, exist_ok=True)
    lines = ['#NAME "Freedict keys"', '#INDEX_LANGUAGE "Japanese"', '#CONTENTS_LANGUAGE "Russian"']
    japanese = [freedict.DICT] + [d for d in (FRENCH,) if os.path.exists(d + ".index")]
    for words, _, senses in (e for d in japanese for e in freedict.entries(d)):
        if not senses:
            continue
        lines += [freedict.escape(w) for w in words]
        for sense in senses:
            if sense.startswith("(") and sense.endswith(")"):
                lines.append("\t[m1][p]%s[/p]" % freedict.escape(sense))
                continue
            # Remarks in parentheses stay out of the translation's words.
            parts = re.split(r"(\([^()]*\))", sense)
            body = "".join("[!trs]%s[/!trs]" % freedict.escape(p) if p.startswith("(") and p.endswith(")")
                           else freedict.escape(p) for p in parts)
            lines.append("\t[m1][trn]%s[/trn]" % body)
    for words, first, senses in freedict.entries(freedict.ENGLISH):
        if not senses:
            continue
        sounds = re.search(r"/([^/]*)/", first)
        form = re.sub(r"/[^/]*/", "", first).strip() or words[0]
        lines.append(freedict.escape(form) + ("{ /%s/}" % sounds.group(1).replace("}", "") if sounds else ""))
        lines += ["\t[m1][trn]%s[/trn]" % freedict.escape(s) for s in senses]
    freedict.write_utf16(out + "/freedict.dsl", "\n".join(lines) + "\n")


def tag_end(text, at):
    for i in range(at + 1, len(text)):
        if text[i] == "]":
            return i
        if text[i] == "\n":
            return -1
    return -1


def clean(text, maximum):
    """Index text of DSL markup: what the text shows, blanks folded."""
    out = []
    i = 0
    while i < len(text) and len(out) < maximum:
        c, n = text[i], text[i + 1] if i + 1 < len(text) else ""
        if c == "{" and n == "{":
            end = text.find("}}", i + 2)
            i = len(text) if end < 0 else end + 2
            continue
        if c == "[" and tag_end(text, i) >= 0:
            end = tag_end(text, i)
            tag = text[i + 1:end]
            i = end + 1
            if tag.startswith(("lh", "ls")):
                close = re.compile(r"\[/l[hs][^\]\n]*\]").search(text, i)
                i = len(text) if close is None else close.end()
            continue
        if c == "\\" and n:
            c, i = n, i + 2
        elif (c == "<" and n == "<") or (c == ">" and n == ">"):
            i += 2
            continue
        else:
            i += 1
        if c < "\n":
            c = " "
        if c == " " and out and out[-1] == " ":
            continue
        out.append(c)
    if out and out[-1] <= " ":
        out.pop()
    return "".join(out)


def is_ideograph(c):
    o = ord(c)
    return 0x3400 <= o <= 0x4DBF or 0x4E00 <= o <= 0x9FFF or 0xF900 <= o <= 0xFAFF or o >= 0x20000


def is_kana(c):
    return 0x3041 <= ord(c) <= 0x30FE


def script_class(text):
    if any(is_ideograph(c) for c in text):
        return 4
    if any(is_kana(c) for c in text):
        return 3
    return 8 if any(ord(c) < 0x2000 for c in text) else 0


def cut(text, units):
    return text.encode("utf-16-le")[:2 * units].decode("utf-16-le", "ignore")


def articles(path):
    """Each article: its headword lines and its body (from the first body line with content)."""
    text = open(path, "rb").read().decode("utf-16")
    current = None
    for line in text.split("\n"):
        if line.startswith("#"):
            continue
        if line[:1] > " ":
            if current is not None and current[1]:
                yield current
                current = None
            if current is None:
                current = ([], [])
            current[0].append(line.rstrip())
        elif current is not None:
            current[1].append(line)
    if current is not None and current[1]:
        yield current


def translation_words(body):
    """The words of the [trn] spans, outside [p] and [!trs]: segments that
    hold a letter or a digit (ideographs and kana stand alone)."""
    kept = []
    for line in body:
        inside = phonetic = hidden = False
        i = 0
        while i < len(line):
            c = line[i]
            if c == "[" and tag_end(line, i) >= 0:
                end = tag_end(line, i)
                tag = line[i + 1:end]
                inside = {"trn": True, "/trn": False}.get(tag, inside)
                phonetic = {"p": True, "/p": False}.get(tag, phonetic)
                hidden = {"!trs": True, "/!trs": False}.get(tag, hidden)
                if tag == "/trn":
                    kept.append(" ")
                i = end + 1
                continue
            if c == "\\" and i + 1 < len(line):
                c = line[i + 1]
                i += 1
            i += 1
            if inside and not phonetic and not hidden:
                kept.append(c)
        kept.append(" ")
    text = "".join(kept)
    return [w for w in word_segments(text) if any(is_word_character(ch) for ch in w)]


# Word segments by the reduced rules over the Unicode 5.2 word-break table
# the program carries (resources/unicode/ucd-5.2.0), with its overrides.
UCD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "unicode", "ucd-5.2.0")
OTHER, FORMAT, KATAKANA, ALETTER, MIDLETTER, NUMERIC, EXTENDNUMLET, EXTEND, CR, LF, NEWLINE, MIDNUM = \
    0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12
WORD_CLASSES = {"Format": FORMAT, "Katakana": KATAKANA, "ALetter": ALETTER, "MidLetter": MIDLETTER,
                "Numeric": NUMERIC, "ExtendNumLet": EXTENDNUMLET, "Extend": EXTEND, "CR": CR, "LF": LF,
                "Newline": NEWLINE, "MidNum": MIDNUM, "MidNumLet": MIDNUM}


def ucd_ranges(name):
    for line in open(os.path.join(UCD, name), encoding="utf-8"):
        line = line.split("#")[0].strip()
        if not line:
            continue
        span, value = [f.strip() for f in line.split(";")[:2]]
        first, _, last = span.partition("..")
        yield int(first, 16), int(last or first, 16), value


def load_tables():
    word, nsm, category = {}, set(), {}
    for first, last, value in ucd_ranges("auxiliary/WordBreakProperty.txt"):
        for cp in range(first, min(last, 0x1FFFF) + 1):
            word[cp] = WORD_CLASSES[value]
    for cp in (0x3A, 0xB7, 0x3B, 0x3C, 0x3005):
        word[cp] = OTHER
    for cp in range(0xFF10, 0xFF1A):
        word[cp] = NUMERIC
    for first, last, value in ucd_ranges("extracted/DerivedBidiClass.txt"):
        if value == "NSM":
            nsm.update(range(first, last + 1))
    start = None
    for line in open(os.path.join(UCD, "UnicodeData.txt"), encoding="utf-8"):
        fields = line.split(";")
        cp = int(fields[0], 16)
        if fields[1].endswith("First>"):
            start = cp
            continue
        for c in range(start if fields[1].endswith("Last>") else cp, cp + 1):
            category[c] = fields[2]
    return word, nsm, category


WORD_TABLE, NSM, CATEGORY = load_tables()


def word_class(cp):
    if cp < 0x20000:
        return WORD_TABLE.get(cp, OTHER)
    if 0xE0001 <= cp <= 0xE007F:
        return FORMAT
    return EXTEND if 0xE0100 <= cp <= 0xE01EF else OTHER


def is_word_character(c):
    """A letter or a number of the 5.2 data; beyond the BMP, where the
    program has no categories, every character counts."""
    return ord(c) > 0xFFFF or CATEGORY.get(ord(c), "Cn")[0] in "LN"


def word_segments(text):
    """NextWordBoundary's segments: CR LF joins; Extend, Format and an Other
    of bidi class NSM attach to what precedes; letters join letters (also
    across one MidLetter), digits, and the connectors ExtendNumLet; all else
    stands alone (Katakana does not join Katakana, MidNum and MidNumLet never
    join)."""
    segments, at = [], 0
    while at < len(text):
        end, prev, before = at + 1, word_class(ord(text[at])), None
        while end < len(text):
            q = word_class(ord(text[end]))
            if prev == CR and q == LF:
                end += 1
                prev = LF
                continue
            if prev in (CR, LF, NEWLINE):
                break
            if q in (EXTEND, FORMAT) or (q == OTHER and ord(text[end]) in NSM):
                end += 1
                continue
            joins = (prev == ALETTER and q in (ALETTER, NUMERIC, EXTENDNUMLET)) or \
                    (prev == NUMERIC and q in (NUMERIC, ALETTER, EXTENDNUMLET)) or \
                    (prev == EXTENDNUMLET and q in (EXTENDNUMLET, ALETTER, NUMERIC)) or \
                    (prev == MIDLETTER and before == ALETTER and q == ALETTER)
            if not joins and prev == ALETTER and q == MIDLETTER:
                # Across a MidLetter only when a letter follows it (marks attached).
                after = end + 1
                while after < len(text) and word_class(ord(text[after])) in (EXTEND, FORMAT):
                    after += 1
                joins = after < len(text) and word_class(ord(text[after])) == ALETTER
            if not joins:
                break
            before, prev = prev, q
            end += 1
        segments.append(text[at:end])
        at = end
    return segments


def expected_keys(path, words_option):
    keys = set()
    for number, (heads, body) in enumerate(articles(path)):
        readings, written, translations = [], [], []
        for raw in heads:
            shown = clean(raw, 255)
            if not shown:
                continue
            kind = script_class(shown)
            kind = 4 if kind == 0 else kind
            {4: written, 3: readings, 8: translations}[kind].append(raw)
        readings = [cut(clean(r, MAX_KEY), MAX_KEY) for r in readings]
        written = [cut(clean(w, MAX_KEY), MAX_KEY) for w in written]
        for r in readings:
            for w in written or [""]:
                keys.add(("101", r, w, number))
        for w in written:
            for r in readings or [""]:
                keys.add(("102", w, r, number))
        for t in translations[:200]:
            shown = re.sub(r"\{[^}]*\}?", "", cut(t, 256)).replace("\\", "")
            keys.add(("106", cut(shown, MAX_KEY), "1", number))
        if words_option:
            for w in translation_words(body):
                if script_class(w) in (0, 8):
                    keys.add(("106", cut(w, MAX_KEY), "1", number))
    return {k for k in keys if k[1]}


def dumped_keys(folder):
    keys = set()
    for index in ("101", "102", "106"):
        for line in open(os.path.join(folder, index + ".txt"), encoding="utf-8"):
            if "\t-> " not in line:
                continue  # the file's properties and index counts
            first, second, ref = line.rstrip("\n").split("\t")
            keys.add((index, first, second, int(ref.split()[1].lstrip("#"))))
    return keys


def character_keys(expected_tsv):
    keys = set()
    for number, line in enumerate(open(expected_tsv, encoding="utf-8").read().splitlines()):
        character, readings = line.split("\t")
        keys.add(("102", character, "", number))
        for reading in re.split(r"[ ,]+", readings):
            if reading:
                keys.add(("101", cut(clean(reading, MAX_KEY), MAX_KEY), character, number))
    return keys


def check(path, folder, words_option, characters=False):
    want = character_keys(path) if characters else expected_keys(path, words_option)
    seen = {k for k in dumped_keys(folder) if not characters or k[0] != "106"}
    missing, extra = sorted(want - seen), sorted(seen - want)
    for label, keys in (("missing", missing), ("unexpected", extra)):
        for k in keys[:10]:
            print("%s: %r" % (label, k))
    counts = {i: sum(1 for k in want if k[0] == i) for i in (("101", "102") if characters else ("101", "102", "106"))}
    print("keys from the rules: %s; %d missing, %d unexpected" % (counts, len(missing), len(extra)))
    return 0 if not missing and not extra and all(counts.values()) else 1


if __name__ == "__main__":
    if sys.argv[1] == "write":
        write(sys.argv[2])
    elif sys.argv[1] == "characters":
        sys.exit(check(sys.argv[2], sys.argv[3], False, characters=True))
    else:
        sys.exit(check(sys.argv[2], sys.argv[3], "--words" in sys.argv[4:]))
