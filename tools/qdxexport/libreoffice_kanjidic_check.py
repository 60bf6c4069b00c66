# LibreOffice as an independent reader of the whole of KANJIDIC exported as
# RTF: converted to text, every kanji of the source is there in source order,
# and within its article each reading and each meaning of its source line, in
# order, each written as often as the line holds it (once, unless one meaning
# holds another).
# usage: libreoffice_kanjidic_check.py KANJIDIC DOCUMENT.rtf WORK_DIR
import sys

sys.dont_write_bytecode = True  # the checkout stays as it was
from libreoffice_text import read_or_skip  # noqa: E402

source, document, work = sys.argv[1:4]
text = read_or_skip(document, work)


def kana(token, first, last):
    c = token.lstrip("-")[:1]
    return c != "" and first <= ord(c) <= last


def parse(line):
    """The kanji, its readings (on, then kun before T1/T2) and its meanings."""
    tokens, at = [], 0
    while at < len(line):
        if line[at] == "{":
            end = line.find("}", at)
            end = len(line) if end < 0 else end + 1
        else:
            end = line.find(" ", at)
            end = len(line) if end < 0 else end
        tokens.append(line[at:end])
        at = end
        while at < len(line) and line[at] == " ":
            at += 1
    meanings = [t[1:-1] for t in tokens if t.startswith("{")]
    names = tokens.index("T1") if "T1" in tokens else tokens.index("T2") if "T2" in tokens else len(tokens)
    rest = tokens[1:names]
    on = [t.strip("-") for t in rest if kana(t, 0x30A1, 0x30FE)]
    kun = [t.strip("-") for t in rest if kana(t, 0x3041, 0x309E)]
    return tokens[0], on + kun, meanings


lines = [l for l in open(source, encoding="euc-jp", errors="replace").read().split("\n") if l and not l.startswith("#")]
articles = [parse(l) for l in lines]
starts, at = [], 0
for kanji, _, _ in articles:
    position = text.find(kanji, at)
    if position < 0:
        print(f"kanji {kanji} not found after offset {at} (article {len(starts) + 1})")
        sys.exit(1)
    starts.append(position)
    at = position + len(kanji)
starts.append(len(text))
for n, (kanji, readings, meanings) in enumerate(articles):
    article = text[starts[n]:starts[n + 1]]
    at = 0
    for part in readings + meanings:
        position = article.find(part, at)
        if position < 0:
            print(f"{kanji}: {part!r} missing or out of order in {article!r}")
            sys.exit(1)
        at = position + len(part)
    joined = "\x01".join(meanings)
    for m in meanings:
        if article.count(m) != joined.count(m):
            print(f"{kanji}: {m!r} written {article.count(m)} times in {article!r}")
            sys.exit(1)
print(f"LibreOffice read all {len(articles)} kanji with their readings and meanings, in order, each once")
