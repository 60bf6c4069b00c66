#!/usr/bin/env python3
# The cards of a DSL file as python3-pyglossary reads them, for the DSL
# article test: one line per card,
#   headword U+001F headword ... U+001E visible text U+001E styles
# where the visible text is the definition's HTML without its tags (a line
# break for each block), blanks folded to one and trimmed, and styles holds
# one character per code point of it: "-" for a blank, else the digit
# bold (2) + italic (4). The peer resolves only the escapes \[ and \]; the
# others ("\(", "\{", "\\", "\~", ...) are resolved here as the markup has them.
#   dsl_cards_peer.py FILE
import re
import sys
from html.parser import HTMLParser


class Visible(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.chars, self.bold, self.italic = [], 0, 0

    def handle_starttag(self, tag, attrs):
        if tag == "b":
            self.bold += 1
        elif tag == "i":
            self.italic += 1
        elif tag in ("br", "div", "p"):
            self.chars.append(("\n", 0))

    def handle_endtag(self, tag):
        if tag == "b":
            self.bold = max(self.bold - 1, 0)
        elif tag == "i":
            self.italic = max(self.italic - 1, 0)
        elif tag in ("div", "p"):
            self.chars.append(("\n", 0))

    def handle_data(self, data):
        style = (2 if self.bold else 0) | (4 if self.italic else 0)
        self.chars.extend((c, style) for c in data)


def unescaped(chars):
    out, escape = [], False
    for c, style in chars:
        if c == "\\" and not escape:
            escape = True
            continue
        escape = False
        out.append((c, style))
    return out


def folded(chars):
    text, styles, blank = [], [], True
    for c, style in unescaped(chars):
        if re.match(r"\s", c):
            if not blank:
                text.append(" ")
                styles.append("-")
            blank = True
        else:
            text.append(c)
            styles.append(str(style))
            blank = False
    while text and text[-1] == " ":
        text.pop()
        styles.pop()
    return "".join(text), "".join(styles)


def cards(path):
    """(headwords, definition HTML) of each card of the DSL file, as the peer reads it."""
    from pyglossary.glossary import Glossary
    Glossary.init()
    glossary = Glossary()
    if not glossary.read(path, format="ABBYYLingvoDSL", direct=True):
        sys.exit(1)
    for entry in glossary:
        if not entry.isData():
            yield entry.l_word, entry.defi


def main(path):
    for words, definition in cards(path):
        parser = Visible()
        parser.feed(definition)
        parser.close()
        text, styles = folded(parser.chars)
        sys.stdout.write("\x1f".join(words) + "\x1e" + text + "\x1e" + styles + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
