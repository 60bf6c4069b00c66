#!/usr/bin/env python3
# A reader of database files written from the format tables alone (header,
# page allocation table, compressed pages, key pages, data chunks), sharing
# no code with the engine. It prints every entry of every index, walked
# along the leaf links, and every block asked for:
#   K <key id> <ref first> <ref second> <key bytes in hex>
#   B <data position> <block bytes in hex>
# Usage: read_by_tables.py FILE [POSITION ...]
import struct
import sys
import zlib


def u16(b, at):
    return struct.unpack_from('<H', b, at)[0]


def u32(b, at):
    return struct.unpack_from('<I', b, at)[0]


class Database:
    def __init__(self, data):
        self.data = data
        self.page_size = u32(data, 8)
        self.places = None  # page -> (position, flags, stored length), with a table
        first = u32(data, 20)
        if first not in (0, 0xFFFFFFFF):
            self.places = {}
            per_page = (self.page_size - 16) // 16
            at = first
            while at not in (0, 0xFFFFFFFF):
                table = data[at:at + self.page_size]
                assert u16(table, 4) == 0x5450 and u16(table, 6) == per_page
                base = u32(table, 12)
                for i in range(per_page):
                    e = 16 + 16 * i
                    position, flags, length = u32(table, e), u16(table, e + 6), u32(table, e + 8)
                    if position != 0xFFFFFFFF and not flags & 8:
                        self.places[base + i] = (position, flags, length)
                at = u32(table, 8)

    def page(self, n):
        if self.places is None or n == 0:
            return self.data[n * self.page_size:(n + 1) * self.page_size]
        position, flags, length = self.places[n]
        stored = self.data[position:position + length]
        if not flags & 2:
            return stored
        assert u32(stored, 6) == 0xFFFFFFFE and u32(stored, 0) == n
        c = u16(stored, 10)
        body = zlib.decompress(stored[14:14 + c])
        assert len(body) == self.page_size - 6
        return stored[:6] + body

    def index_entries(self):
        header = self.page(0)
        table = u16(header, 16)
        at = table
        while at + 16 <= self.page_size:
            key_id, count, root = u32(header, at + 4), u32(header, at + 8), u32(header, at + 12)
            if at > table and key_id == 0:
                break
            at += 16
            if root == 0xFFFFFFFF:
                continue
            # Leftmost descent, then along the leaves' next links.
            n = root
            while u16(self.page(n), 4) != 0x304B:
                n = u32(self.page(n), 16 + 2)
            seen = 0
            while n != 0xFFFFFFFF:
                p = self.page(n)
                e = 16
                for _ in range(u16(p, 6)):
                    length = u16(p, e)
                    yield 'K %d %d %d %s' % (key_id, u32(p, e + 2), u32(p, e + 6), p[e + 10:e + length].hex())
                    e += length
                    seen += 1
                n = u32(p, 8)
            assert seen == count, (key_id, seen, count)

    def block(self, position):
        out = b''
        total = None
        while True:
            p = self.page(position // self.page_size)
            at = position % self.page_size
            length, first_total, flags, next_position = u32(p, at), u32(p, at + 4), p[at + 9], u32(p, at + 10)
            if total is None:
                assert flags & 1
                total = first_total
            out += p[at + 14:at + length]
            if flags & 2:
                break
            position = next_position
        assert len(out) == total
        return out


def main():
    with open(sys.argv[1], 'rb') as f:
        db = Database(f.read())
    for line in db.index_entries():
        print(line)
    for position in sys.argv[2:]:
        print('B %s %s' % (position, db.block(int(position)).hex()))


if __name__ == '__main__':
    main()
