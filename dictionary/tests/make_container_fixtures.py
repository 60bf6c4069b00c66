#!/usr/bin/env python3
# Own compressed containers for the reader's tests, made with python3's zlib:
# magic, u32 little-endian content length, zlib stream of UTF-16 own markup.
# Next to each container goes the content it should give (.content), when it
# should give any. Usage: make_container_fixtures.py <folder>
import os
import struct
import sys
import zlib

out = sys.argv[1]

WORDS = "{\\rdf1\n" + "".join(
    "{\\w 言葉%d}{\\r ことば}{\\t слово %d; word %d}\n" % (i, i, i) for i in range(400)) + "}\n"
KANJI = "{\\rdf2\n{\\k 字}{\\on ジ}{\\kun あざ}{\\t знак; character}\n}\n"


def write(name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)


def container(magic, content, length=None, stream=None):
    if stream is None:
        stream = zlib.compress(content)
    if length is None:
        length = len(content)
    return magic + struct.pack("<I", length) + stream


words = WORDS.encode("utf-16-le")
kanji = KANJI.encode("utf-16-le")
stream = zlib.compress(words)

write("words.ost", container(b"OST1", words))
write("words.content", words)
write("kanji_lower_case.ost", container(b"ost2", kanji))
write("kanji_lower_case.content", kanji)
# Damaged containers: each must be refused without a buffer.
write("length_too_small.ost", container(b"OST1", words, length=len(words) - 2))
write("length_too_large.ost", container(b"OST1", words, length=len(words) + 2))
write("length_huge.ost", container(b"OST1", words, length=0xFFFFFFFF))
write("length_zero.ost", container(b"OST1", words, length=0))
flipped = bytearray(stream)
flipped[len(flipped) // 2] ^= 0xFF
write("stream_flipped.ost", container(b"OST1", words, stream=bytes(flipped)))
write("stream_truncated.ost", container(b"OST1", words, stream=stream[: len(stream) // 2]))
write("header_only.ost", b"OST1\x10\x00")
