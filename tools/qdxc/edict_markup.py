#!/usr/bin/env python3
"""Writes own markup (UTF-16 with a byte-order mark) made from the first
lines of an EDICT file: "WORD [READING] /sense/sense/" becomes an article
with the word, the reading and one translation per sense.
usage: edict_markup.py EDICT LINES OUTPUT"""
import sys


def escaped(text):
    return text.replace('\\', '\\\\').replace('{', '\\{').replace('}', '\\}')


def main(edict, limit, output):
    parts = ['{\\rdf1 {\\name EDICT sample}\r\n']
    count = 0
    with open(edict, encoding='euc_jp', errors='replace') as lines:
        for line in lines:
            if count >= limit:
                break
            line = line.rstrip('\n')
            slash = line.find(' /')
            if not line or line.startswith('\uff1f') or slash < 0:
                continue
            head, word, reading = line[:slash], line[:slash], ''
            if ' [' in head:
                word, rest = head.split(' [', 1)
                reading = rest.split(']', 1)[0]
            article = '{\\a '
            article += '{\\r %s}' % escaped(word) if not reading else \
                '{\\k %s}{\\r %s}' % (escaped(word), escaped(reading))
            for sense in line[slash + 2:].split('/')[:-1]:
                if sense:
                    article += '{\\s {\\rus %s}}' % escaped(sense)
            parts.append(article + '}\r\n')
            count += 1
    parts.append('}')
    with open(output, 'wb') as out:
        out.write(''.join(parts).encode('utf-16'))


if __name__ == '__main__':
    main(sys.argv[1], int(sys.argv[2]), sys.argv[3])
