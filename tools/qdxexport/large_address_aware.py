#!/usr/bin/env python3
"""Checks that every PE file named on the command line is large-address-aware:
bit 0x20 (IMAGE_FILE_LARGE_ADDRESS_AWARE) of the COFF header's characteristics."""
import struct
import sys

failed = 0
for path in sys.argv[1:]:
    with open(path, 'rb') as f:
        data = f.read(4096)
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        print(f'{path}: not a PE file')
        failed += 1
        continue
    characteristics = struct.unpack_from('<H', data, pe + 4 + 18)[0]
    if not characteristics & 0x20:
        print(f'{path}: not large-address-aware (characteristics 0x{characteristics:04x})')
        failed += 1
print(f'{len(sys.argv) - 1 - failed} passed, {failed} failed')
sys.exit(1 if failed else 0)
