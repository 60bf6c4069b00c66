#!/usr/bin/env python3
"""Checks dictcli's pages against a list: for each typed key of PAGES (dictcli
type output) prints "key K: N rows", and ", a run of the other dictionaries'
rows" when the page's rows stand one after another in LIST (the dictcli type
output of the other dictionaries alone, every row printed).
  page_is_run_of.py PAGES LIST"""
import sys


def rows(lines):
    return [line[2:] for line in lines if line.startswith(("  ", "> "))]


def pages(path):
    out, key = [], None
    for line in open(path, encoding="utf-8").read().splitlines():
        if line.startswith("key "):
            key = line.split(" ")[1]
            out.append((key, []))
        elif key is not None:
            out[-1][1].append(line)
    return [(k, rows(ls)) for k, ls in out]


def main():
    listed = rows(open(sys.argv[2], encoding="utf-8").read().splitlines())
    at = {}
    for i, row in enumerate(listed):
        at.setdefault(row, []).append(i)
    for key, page in pages(sys.argv[1]):
        line = "key %s: %d rows" % (key, len(page))
        run = page and any(listed[i:i + len(page)] == page for i in at.get(page[0], []))
        print(line + (", a run of the other dictionaries' rows" if run else ""))


if __name__ == "__main__":
    main()
