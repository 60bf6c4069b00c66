#!/usr/bin/env python3
"""A small model of the alignment edits on a text book, the oracle of the
book reader's random edit test.

    edit_model.py BOOK.txt EDITS.txt OUT.txt

BOOK.txt is read as the reader reads it (groups of non-blank lines, the
first the language header when a line of it names a language, which is no
phrase; a line's leading line tag such as "<P10>" kept apart from its text;
"</>" an empty phrase); EDITS.txt holds one edit
a line: "split C K OFFSET", "join C K", "delete C K", "type C K OFFSET WORD",
"paste C K" (the three sentences of PASTE on three lines). OUT.txt gets the
book as the reader saves it: the header as it stood, then every language in
order (each line its tag, then its text), CR LF, an empty line after each
group, "</>" for an empty phrase.
"""
import re
import sys

PASTE = ["Alpha one.", "Beta two.", "Gamma three."]


def blank(text):
    return all(ord(c) <= 0x20 or c == "\u3000" for c in text)


def read_book(path):
    text = open(path, "rb").read().decode("utf-8")
    if text.startswith("\ufeff"):
        text = text[1:]
    groups, current = [], None
    for line in text.split("\n"):
        if blank(line):
            current = None
            continue
        if current is None:
            current = []
            groups.append(current)
        while line and ord(line[-1]) < 0x20:
            line = line[:-1]
        current.append(line)
    codes = [g[1:g.index(">")][:4] for g in groups[0] if g.startswith("<") and ">" in g] if groups else []
    columns = max(1, len(codes))
    names = [g[g.index(">") + 1:].split("/")[0].strip() for g in groups[0]
             if g.startswith("<") and ">" in g and g[1:g.index(">")][:4] != "Zxxx"] if groups else []
    header = groups[0] if any(names) else []
    cols = [[] for _ in range(columns)]
    for g in groups[1 if header else 0:]:
        for c in range(columns):
            t = g[c] if c < len(g) else ""
            m = TAG.match(t)
            tag, t = (m.group(0), t[m.end():]) if m else ("", t)
            cols[c].append((tag, " " if t in ("", "</>") else t))
    return header, cols, codes


TAG = re.compile(r"<([A-Z][a-z]{3}|[Hh][0-9]|[Pp]|P[0-9]|P[0-9][0-9])>")


def insert_after(cols, c, after, text, tag=""):
    col = cols[c]
    col.insert(after + 1, (tag, text or " "))
    if after + 1 != len(col) - 1 and blank(col[-1][1]):
        col.pop()
    else:
        for o in range(len(cols)):
            if o != c:
                cols[o].append(("", " "))


def main():
    header, cols, codes = read_book(sys.argv[1])
    for edit in open(sys.argv[2], encoding="utf-8").read().splitlines():
        f = edit.split(" ")
        op, c, k = f[0], int(f[1]), int(f[2])
        col = cols[c]
        if op == "split":
            off = int(f[3])
            tag, t = col[k]
            col[k] = (tag, t[:off] + " ")
            insert_after(cols, c, k, t[off:])
        elif op == "join":
            if k + 1 >= len(col):
                continue
            (tag, a), (_, b) = col[k], col[k + 1]
            if c < len(codes) and codes[c] in ("Hani", "Hrkt"):
                while a and ord(a[-1]) <= 0x20:
                    a = a[:-1]
            elif a and b and a[-1] != " " and b[0] != " ":
                a += " "
            col[k] = (tag, a + b)
            del col[k + 1]
            col.append(("", " "))
        elif op == "delete":
            del col[k]
            col.append(("", " "))
        elif op == "type":
            off = int(f[3])
            tag, t = col[k]
            col[k] = (tag, t[:off] + f[4] + t[off:])
        elif op == "paste":
            for n, piece in enumerate(PASTE):
                insert_after(cols, c, k + n, piece, "<P10>" if n else "")
    out = ["".join(line + "\r\n" for line in header) + ("\r\n" if header else "")]
    for k in range(len(cols[0])):
        for c in range(len(cols)):
            tag, t = cols[c][k]
            while t and (ord(t[-1]) <= 0x20 or t[-1] == "\u3000"):
                t = t[:-1]
            out.append(tag + (t or "</>") + "\r\n")
        out.append("\r\n")
    open(sys.argv[3], "wb").write("".join(out).encode("utf-8"))


if __name__ == "__main__":
    main()
