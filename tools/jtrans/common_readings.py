#!/usr/bin/env python3
"""How often the word translator heads a common verb's reading with a common
spelling. The readings: every kana reading of an EDICT line marked common
("(P)") whose leading grammar group names a verb class (v1, v5..., vk, vz).
Each is translated alone, as it stands when typed in kana, with the whole of
EDICT compiled by qdxc; it is headed by a common spelling when the first row
jtrans lists is the (reading, spelling) of a line marked common.

usage: common_readings.py JTRANS QDXC WORKDIR [--slice] [--floor PERCENT] [--show N]
--slice compiles only the lines the readings can reach (as mecab_agreement.py
does), which leaves every row over a whole reading and keeps the compile short.
Prints the share and the first N readings headed otherwise; exit 1 below the
floor or when a word of a beginner's sentence in kana is not headed by its
everyday spelling."""
import os
import re
import subprocess
import sys

import mecab_agreement

EDICT = '/usr/share/edict/edict'
LINE = re.compile(r'^(\S+) (?:\[(\S+)\] )?/(.*)$')
LEADING_GROUPS = re.compile(r'\s*((?:\([^()]*\)\s*)+)')
VERB_CLASS = re.compile(r'v(1|5|k|z)')


def edict_lines():
    with open(EDICT, 'rb') as source:
        return source.read().decode('euc-jp', 'replace').split('\n')[1:]


def leading_codes(senses):
    groups = LEADING_GROUPS.match(senses)
    if not groups:
        return []
    return [code.strip() for group in re.findall(r'\(([^()]*)\)', groups.group(1)) for code in group.split(',')]


def common_verbs(lines):
    """The readings of common verbs, and every (reading, spelling) marked common."""
    readings, common = set(), set()
    for line in lines:
        found = LINE.match(line)
        if not found or '/(P)/' not in line:
            continue
        head, reading, senses = found.groups()
        spelling = head if reading else ''
        reading = reading or head
        common.add((reading, spelling))
        if any(VERB_CLASS.match(code) for code in leading_codes(senses)):
            readings.add(reading)
    return sorted(readings), common


def first_rows(jtrans, dictionary, readings):
    out = subprocess.run([jtrans, '--dict', dictionary], input='\n'.join(readings) + '\n', capture_output=True,
                         text=True, check=True).stdout
    heads = {}
    for row in out.splitlines():
        line, _, _, reading, word, _ = row.split('\t')
        heads.setdefault(int(line) - 1, (reading, word))
    return heads


# A beginner's sentence and two pasts, each word's first row: (line, start,
# reading, spelling). Line 3's second row is 来る's past behind 北 spelled whole.
BEGINNER = ['ほんをよみます。ごはんをたべます。テレビをみます。', 'みた', 'きた']
BEGINNER_HEADS = [(1, 0, 'ほん', '本'), (1, 2, 'を', ''), (1, 3, 'よむ', '読む'), (1, 8, 'ごはん', 'ご飯'),
                  (1, 11, 'を', ''), (1, 12, 'たべる', '食べる'), (1, 17, 'テレビ', ''), (1, 20, 'を', ''),
                  (1, 21, 'みる', '見る'), (2, 0, 'みる', '見る'), (3, 0, 'きた', '北')]


def beginner_mismatches(jtrans, dictionary):
    """The expected first rows of BEGINNER that jtrans heads otherwise."""
    out = subprocess.run([jtrans, '--dict', dictionary], input='\n'.join(BEGINNER) + '\n', capture_output=True,
                         text=True, check=True).stdout
    rows = {}
    for row in out.splitlines():
        line, start, _, reading, word, _ = row.split('\t')
        rows.setdefault((int(line), int(start)), []).append((reading, word))
    wrong = [(key, rows.get(key[:2], [None])[0]) for key in BEGINNER_HEADS
             if rows.get(key[:2], [None])[0] != key[2:]]
    if ('くる', '来る') not in rows.get((3, 0), [])[:2]:
        wrong.append(((3, 0, 'くる', '来る'), rows.get((3, 0))))
    return wrong


def main(args):
    if len(args) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    jtrans, qdxc, workdir = args[:3]
    floor = float(args[args.index('--floor') + 1]) if '--floor' in args else 0.0
    show = int(args[args.index('--show') + 1]) if '--show' in args else 20
    os.makedirs(workdir, exist_ok=True)
    readings, common = common_verbs(edict_lines())
    if '--slice' in args:
        dictionary, _, _ = mecab_agreement.compile_edict(qdxc, workdir, '\n'.join(readings + BEGINNER))
    else:
        dictionary = os.path.join(workdir, 'edict.qdx')
        if not os.path.exists(dictionary):
            subprocess.run([qdxc, '--deterministic', EDICT, dictionary], check=True, stderr=subprocess.DEVNULL)
    heads = first_rows(jtrans, dictionary, readings)
    otherwise = [(r, heads.get(i)) for i, r in enumerate(readings) if heads.get(i) not in common]
    headed = len(readings) - len(otherwise)
    share = 100.0 * headed / len(readings)
    print('common verb readings typed alone: %d, headed by a common spelling: %d (%.1f %%)' %
          (len(readings), headed, share))
    for reading, head in otherwise[:show]:
        print('  %s -> %s' % (reading, '%s %s' % head if head else 'no row'))
    wrong = beginner_mismatches(jtrans, dictionary)
    for (line, start, reading, word), got in wrong:
        print('beginner line %d at %d: wanted %s %s, got %s' % (line, start, reading, word, got))
    return 0 if share >= floor and not wrong else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
