# LibreOffice as an independent reader of the whole of EDICT exported as RTF:
# converted to text, every entry begins a paragraph with its first reading,
# in source order, and its article holds each of its glosses (the tags in
# parentheses before a gloss left aside), in order.
# usage: libreoffice_edict_check.py EDICT DOCUMENT.rtf WORK_DIR
import re
import sys

sys.dont_write_bytecode = True  # the checkout stays as it was
from libreoffice_text import read_or_skip  # noqa: E402

source, document, work = sys.argv[1:4]
text = read_or_skip(document, work)

# Where EUC-JP and the program's code page 932 tables give different characters.
CP932 = str.maketrans({"\u301c": "\uff5e", "\u2016": "\u2225", "\u2212": "\uff0d", "\u00a2": "\uffe0",
                       "\u00a3": "\uffe1", "\u00ac": "\uffe2"})


def parse(line):
    """The first reading of an entry and its glosses."""
    head, _, rest = line.partition(" /")
    bracketed = re.match(r"^(.*?)\s*\[(.*)\]\s*$", head)
    readings = [re.sub(r"\(.*$", "", r).rstrip(" \u3000") for r in (bracketed.group(2) if bracketed else head).split(";")]
    glosses = []
    for gloss in rest.rstrip("/").split("/"):
        if gloss.startswith("EntL") or gloss == "(P)":
            continue
        gloss = re.sub(r"^(\([^)]*\)\s*)+", "", gloss).strip()
        if gloss:
            glosses.append(gloss)
    return next(r for r in readings if r), glosses


lines = open(source, encoding="euc-jp", errors="replace").read().translate(CP932).split("\n")[1:]
entries = [parse(l) for l in lines if l.strip()]
starts, at = [], 0
for n, (reading, _) in enumerate(entries):
    position = text.find(reading) if n == 0 else text.find("\n" + reading, at - 1) + 1
    if (n == 0 and position < 0) or (n > 0 and position <= 0):
        print(f"entry {n + 1}: {reading} does not begin a paragraph after offset {at}")
        sys.exit(1)
    starts.append(position)
    at = position + len(reading)
starts.append(len(text))
for n, (reading, glosses) in enumerate(entries):
    article, at = text[starts[n]:starts[n + 1]], 0
    for gloss in glosses:
        position = article.find(gloss, at)
        if position < 0:
            print(f"entry {n + 1} ({reading}): {gloss!r} missing or out of order in {article!r}")
            sys.exit(1)
        at = position + len(gloss)
print(f"LibreOffice read all {len(entries)} EDICT entries with their glosses in order")
