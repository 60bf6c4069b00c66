#!/usr/bin/env python3
"""Damages one data page of a dictionary file (.qdx) as a bad sector may:
of the data pages holding articles (their first chunk of record type 1; the
full-text hit lists are of type 2), the one in the middle is zeroed after its
head, so every article with a chunk on it can no longer be read; every other
page keeps its bytes. Plain and compacted files alike.
  damage_data_page.py IN.qdx OUT.qdx"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "dictcli"))
from damage_leaf import PAGE, File, u16, u32  # noqa: E402

DATA = 0x4144
ARTICLE = 1


def main():
    f = File(open(sys.argv[1], "rb").read())
    last = u32(f.data, 28)
    data_pages = [n for n in range(1, last + 1) if u16(f.page(n), 4) == DATA and f.page(n)[6 + 8] == ARTICLE]
    if len(data_pages) < 3:
        sys.exit("too few data pages")
    n = data_pages[len(data_pages) // 2]
    image = bytearray(f.page(n))
    image[6:] = bytes(PAGE - 6)
    f.put_page(n, bytes(image))
    open(sys.argv[2], "wb").write(f.data)
    print("page %d, data page %d of %d holding articles, damaged" % (n, len(data_pages) // 2 + 1, len(data_pages)))


if __name__ == "__main__":
    main()
