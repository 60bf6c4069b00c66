#!/usr/bin/env python3
"""Writes the end-to-end tests' dictionary source of long articles in the
program's own markup (UTF-16 with a byte-order mark): one whose translation
is a line of 30,000 characters of mixed Latin, kana, Cyrillic and kanji
(the editor opens it) and one of 40,000 (longer than the editor saves).

  long_articles.py OUT
"""
import sys

PIECE = "lorem ipsum \u732b\u3068 \u043a\u043e\u0448\u043a\u0430 \u306d\u3053 dolor \u8a9e\u5b66 sit amet "


def mixed(length):
    return (PIECE * (length // len(PIECE) + 1))[:length]


def main():
    articles = [("\u9577\u6587", "\u3061\u3087\u3046\u3076\u3093", 30000),
                ("\u9577\u8a71", "\u306a\u304c\u3070\u306a\u3057", 40000)]
    text = "{\\rdf1 {\\name Long}\r\n"
    for kanji, reading, length in articles:
        text += "{\\a {\\k %s}{\\r %s}{\\s {\\rus %s}}}\r\n" % (kanji, reading, mixed(length))
    text += "}"
    with open(sys.argv[1], "wb") as out:
        out.write(b"\xff\xfe" + text.encode("utf-16-le"))


if __name__ == "__main__":
    main()
