#!/usr/bin/env python3
"""Whether the first row the Translation tab lists for each word of Latin
prose is the analyser's first reading of it:

  first_rows.py LATINTOOL LATIN.qdx [--beside OTHER.qdx]... [--held-out FILE]... [--check]

The analyser's readings come from `latintool analyse --dictionary LATIN.qdx`
(its coded groups, read as rows by the rule the program's bridge uses: an
article for an entry group, a row of text for an addon, a name, a numeral,
a note or a split into two words; a note on a spelling trick or a syncope
is no row). The tab's first row comes from `latintool rows`, which types
each word into the input line and looks it up as the tab does, over the
program's open dictionaries in their order: each --beside dictionary (the
Personal dictionary, EDICT, KANJIDIC, as the program's first start opens
them), then LATIN.qdx. The texts are prose_accuracy.py's and each
--held-out file.

Prints, per text and in all, the words, those the analyser reads, and the
mismatches among them by kind: another dictionary's row first, another
Latin row first, no row. With --check, exits 1 on any mismatch.
"""
import collections
import os
import subprocess
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import prose_accuracy  # noqa: E402

# The codes of the lines a group's row is made of, by the group's kind.
ROW_LINES = {1: ("05", "06"), 2: ("06", "07"), 4: ("01", "03"), 5: ("01", "03"), 6: ("01", "06"), 7: ("01",)}


def first_readings(latintool, dictionary, tokens):
    """Per token: the analyser's first reading as a row ("entry ID" or
    "text LINE"), or None when no group gives a row."""
    out = subprocess.run([latintool, "analyse", "--dictionary", dictionary], input="\n".join(tokens) + "\n",
                         capture_output=True, text=True, encoding="latin-1", check=True).stdout
    readings, groups = [], []
    for line in out.split("\n"):
        if line.startswith("=> "):
            readings.append(next((row for row in map(group_row, groups) if row), None))
            groups = []
        elif line.startswith("10 "):
            fields = line.split()
            groups.append((int(fields[1]), int(fields[2]) if len(fields) > 2 and fields[2].isdigit() else 0, []))
        elif groups:
            groups[-1][2].append(line)
    return readings


def group_row(group):
    """The row a coded group gives, as `latintool rows` names it, or None."""
    kind, record, lines = group
    texts = [line[3:] for line in lines if line[:2] in ROW_LINES.get(kind, ()) and len(line) > 3]
    if kind == 7 and record:
        return "entry %d" % record
    if not texts or (kind == 2 and not texts[0].startswith("2 words")):
        return None
    return "text " + texts[0]


def first_rows(latintool, dictionaries, tokens):
    """Per token: the tab's first row ("entry N ID", "text LINE" or "none")."""
    command = [latintool, "rows"]
    for path in dictionaries:
        command += ["--dictionary", path]
    out = subprocess.run(command, input="\n".join(tokens) + "\n", capture_output=True, text=True,
                         encoding="utf-8", errors="replace", check=True).stdout
    return [line.split("\t", 1)[1] for line in out.split("\n") if "\t" in line]


def compare(latintool, dictionaries, tokens):
    """The count of words read, and the mismatches as (kind, token, reading, row)."""
    latin = len(dictionaries)
    readings = first_readings(latintool, dictionaries[-1], tokens)
    rows = first_rows(latintool, dictionaries, tokens)
    if len(readings) != len(tokens) or len(rows) != len(tokens):
        raise RuntimeError("latintool gave %d readings and %d rows for %d words" %
                           (len(readings), len(rows), len(tokens)))
    read, mismatches = 0, []
    for token, reading, row in zip(tokens, readings, rows):
        if reading is None:
            continue
        read += 1
        expected = reading.replace("entry ", "entry %d " % latin, 1) if reading.startswith("entry ") else reading
        if row == expected:
            continue
        if row == "none":
            kind = "no row"
        elif row.startswith("entry ") and not row.startswith("entry %d " % latin):
            kind = "another dictionary's row first"
        else:
            kind = "another Latin row first"
        mismatches.append((kind, token, reading, row))
    return read, mismatches


def report(latintool, dictionaries, held_out=()):
    """Prints the counts of every text and of all; the number of mismatches."""
    texts = prose_accuracy.texts() + [(os.path.basename(p), prose_accuracy.plain_text_tokens(p)) for p in held_out]
    total_words, total_read, kinds = 0, 0, collections.Counter()
    for name, tokens in texts:
        read, mismatches = compare(latintool, dictionaries, tokens)
        total_words += len(tokens)
        total_read += read
        kinds.update(kind for kind, *_ in mismatches)
        print("%s: %d words, %d read by the analyser, %d whose first row is not its first reading" %
              (name, len(tokens), read, len(mismatches)))
        for kind, token, reading, row in sorted(set(mismatches)):
            print("  %s: %s read %s, listed %s" % (kind, token, reading, row))
    print("all: %d words, %d read by the analyser, %d mismatches%s" %
          (total_words, total_read, sum(kinds.values()),
           "".join("; %s %d" % item for item in sorted(kinds.items()))))
    return sum(kinds.values())


def main():
    args = sys.argv[1:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    beside, held_out = [], []
    for flag, into in (("--beside", beside), ("--held-out", held_out)):
        while flag in args and args.index(flag) + 1 < len(args):
            at = args.index(flag)
            into.append(args[at + 1])
            del args[at:at + 2]
    if len(args) != 2 or "--beside" in args or "--held-out" in args:
        print(__doc__)
        return 2
    mismatches = report(args[0], beside + [args[1]], held_out)
    return 1 if check and mismatches else 0


if __name__ == "__main__":
    sys.exit(main())
