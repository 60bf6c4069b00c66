#!/usr/bin/env python3
"""Damages a dictionary file (.qdx) the way a bad disk or a bad copy may: in
the leaf of the reading index (101) that holds READING, the first two entries
change places, so the leaf's keys are out of order. Plain and compacted files
(page allocation table, compressed pages) alike; the page keeps its place.
  swap_leaf_keys.py IN.qdx OUT.qdx READING"""
import struct
import sys
import zlib

PAGE = 4096
LEAF = 0x304B
READING_INDEX = 101


def u16(b, at):
    return struct.unpack_from("<H", b, at)[0]


def u32(b, at):
    return struct.unpack_from("<I", b, at)[0]


class File:
    def __init__(self, data):
        self.data = bytearray(data)
        self.pat = u32(self.data, 20)

    def entry_at(self, n):
        """Offset of page n's allocation-table entry, or None in a plain file."""
        if self.pat in (0, 0xFFFFFFFF):
            return None
        per = (PAGE - 16) // 16
        at = self.pat
        for _ in range(n // per):
            at = u32(self.data, at + 8)
        return at + 16 + (n % per) * 16

    def page(self, n):
        e = self.entry_at(n)
        if e is None:
            return bytes(self.data[n * PAGE:(n + 1) * PAGE])
        at, flags = u32(self.data, e), u16(self.data, e + 6)
        if not flags & 2:
            return bytes(self.data[at:at + PAGE])
        c = u16(self.data, at + 10)
        return bytes(self.data[at:at + 6]) + zlib.decompress(bytes(self.data[at + 14:at + 14 + c]))

    def put_page(self, n, image):
        e = self.entry_at(n)
        if e is None:
            self.data[n * PAGE:(n + 1) * PAGE] = image
            return
        at, flags, stored, free = u32(self.data, e), u16(self.data, e + 6), u32(self.data, e + 8), u32(self.data, e + 12)
        if not flags & 2:
            self.data[at:at + PAGE] = image
            return
        room = stored + free - 14
        for level in range(9, -1, -1):
            stream = zlib.compress(image[6:], level)
            if len(stream) <= room:
                break
        else:
            sys.exit("the damaged page does not fit its place")
        self.data[at + 10:at + 12] = struct.pack("<H", len(stream))
        self.data[at + 14:at + 14 + len(stream)] = stream
        struct.pack_into("<II", self.data, e + 8, len(stream) + 14, stored + free - len(stream) - 14)


def entries(page):
    at, out = 16, []
    for _ in range(u16(page, 6)):
        length = u16(page, at)
        out.append((at, length))
        at += length
    return out


def reading(page, at):
    n = u16(page, at + 10) - 2
    return page[at + 12:at + 12 + n].decode("utf-16-le")


def main():
    source, target, wanted = sys.argv[1], sys.argv[2], sys.argv[3]
    f = File(open(source, "rb").read())
    table = u16(f.data, 16)
    root = None
    for i in range(100):
        at = table + 16 * i
        if u32(f.data, at + 4) == READING_INDEX:
            root = u32(f.data, at + 12)
            break
    page_no = root
    while u16(f.page(page_no), 4) != LEAF:
        page_no = u32(f.page(page_no), 16 + 2)  # the first child
    while page_no != 0xFFFFFFFF:
        page = f.page(page_no)
        es = entries(page)
        if any(reading(page, at) == wanted for at, _ in es):
            (a, la), (b, lb) = es[0], es[1]
            if reading(page, a) == reading(page, b):
                sys.exit("the leaf's first two readings are equal")
            image = bytearray(page)
            image[a:a + la + lb] = page[b:b + lb] + page[a:a + la]
            f.put_page(page_no, bytes(image))
            open(target, "wb").write(f.data)
            print("leaf %d: %s and %s swapped" % (page_no, reading(page, a), reading(page, b)))
            return
        page_no = u32(page, 8)
    sys.exit("no leaf holds " + wanted)


if __name__ == "__main__":
    main()
