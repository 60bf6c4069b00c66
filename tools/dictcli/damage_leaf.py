#!/usr/bin/env python3
"""Damages a dictionary file (.qdx) the way a bad disk or a bad copy may, in
the leaf of an index that holds KEY as the first segment of an entry (index
101, the readings, unless --index names another, such as 110, the words of
the full text):
  - by default the leaf's first two entries change places, so its keys are
    out of order (the engine answers "Data integrity broken");
  - with --overwrite N, N bytes in the middle of the leaf as the file stores
    it are overwritten (a compressed page then no longer inflates).
Plain and compacted files (page allocation table, compressed pages) alike;
the page keeps its place. With --leaves N, N leaves from that one on are
damaged (a bad stretch of disk). Prints each leaf's page and its first and
last keys.
  damage_leaf.py IN.qdx OUT.qdx KEY [--index N] [--overwrite N] [--leaves N]"""
import struct
import sys
import zlib

PAGE = 4096
LEAF = 0x304B


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


def stored_range(f, n):
    """Where page n lies in the file as stored: (offset, length)."""
    e = f.entry_at(n)
    if e is None:
        return n * PAGE, PAGE
    return u32(f.data, e), u32(f.data, e + 8)


def main():
    args = sys.argv[1:]
    options = {"--index": 101, "--overwrite": 0, "--leaves": 1}
    for name in options:
        if name in args:
            at = args.index(name)
            options[name] = int(args[at + 1])
            del args[at:at + 2]
    index, overwrite, leaves = options["--index"], options["--overwrite"], options["--leaves"]
    if len(args) != 3:
        sys.exit(__doc__)
    source, target, wanted = args
    f = File(open(source, "rb").read())
    table = u16(f.data, 16)
    root = None
    for i in range(100):
        at = table + 16 * i
        if u32(f.data, at + 4) == index:
            root = u32(f.data, at + 12)
            break
    if root is None:
        sys.exit("no index %d" % index)
    page_no = root
    while u16(f.page(page_no), 4) != LEAF:
        page_no = u32(f.page(page_no), 16 + 2)  # the first child
    damaged = 0
    while page_no != 0xFFFFFFFF and damaged < leaves:
        page = f.page(page_no)
        es = entries(page)
        keys = [reading(page, at) for at, _ in es]
        if damaged or wanted in keys:
            if overwrite:
                offset, length = stored_range(f, page_no)
                start = offset + length // 2 - overwrite // 2
                f.data[start:start + overwrite] = bytes((0xA5 ^ i) & 0xFF for i in range(overwrite))
                what = "%d bytes overwritten" % overwrite
            else:
                (a, la), (b, lb) = es[0], es[1]
                if keys[0] == keys[1]:
                    sys.exit("the leaf's first two keys are equal")
                image = bytearray(page)
                image[a:a + la + lb] = page[b:b + lb] + page[a:a + la]
                f.put_page(page_no, bytes(image))
                what = "%s and %s swapped" % (keys[0], keys[1])
            print("leaf %d (%s .. %s): %s" % (page_no, keys[0], keys[-1], what))
            damaged += 1
        page_no = u32(page, 8)
    if not damaged:
        sys.exit("no leaf holds %s" % wanted)
    open(target, "wb").write(f.data)


if __name__ == "__main__":
    main()
