#!/usr/bin/env python3
"""Writes the end-to-end tests' dictionary source of long articles in the
program's own markup (UTF-16 with a byte-order mark): two articles of 400
lines of mixed Latin, kana, Cyrillic and kanji that take 32,767 and 32,768
units in the editor, a line end counted as one (the longest article it
saves, and one more).

  long_articles.py OUT
"""
import sys

PIECE = "lorem ipsum \u732b\u3068 \u043a\u043e\u0448\u043a\u0430 \u306d\u3053 dolor \u8a9e\u5b66 sit amet "


def mixed(length):
    return (PIECE * (length // len(PIECE) + 1))[:length]


def lines(kanji, reading, count, units):
    """The groups of an article of `count` lines taking `units` in the editor."""
    left = units - len(kanji) - len(reading) - (count - 1)
    groups = "{\\k %s}{\\r %s}" % (kanji, reading)
    done = 0
    for line in range(count - 2):
        length = left // (count - 2) + (1 if line < left % (count - 2) else 0)
        # No blank at either end: the blank after a control word is not text.
        piece = mixed(done + length)[done:].replace(" ", ".")
        done += length
        groups += "{\\s %s}" % piece
    return groups


def main():
    text = "{\\rdf1 {\\name Long}\r\n"
    for kanji, reading, units in [("\u5883\u754c", "\u304d\u3087\u3046\u304b\u3044", 32767),
                                  ("\u5883\u76ee", "\u3055\u304b\u3044\u3081", 32768)]:
        text += "{\\a %s}\r\n" % lines(kanji, reading, 400, units)
    text += "}"
    with open(sys.argv[1], "wb") as out:
        out.write(b"\xff\xfe" + text.encode("utf-16-le"))


if __name__ == "__main__":
    main()
