#!/usr/bin/env python3
"""Where a reading typed whole lands in the by-reading list of EDICT and
KANJIDIC, both compiled by qdxc as the program compiles them: of the
readings of EDICT's lines marked common ("(P)"), each typed alone in kana
through dictcli, how many land on a row that is the (reading, spelling) of
a line marked common.

usage: common_landing.py DICTCLI QDXC WORKDIR [--floor PERCENT] [--show N]
                         [--write FILE] [--keys K1,K2,...]
--write writes every key typed (the common readings, and the same readings
cut to their first one and two units) with the row it landed on, so that
two builds can be compared; --keys also types those keys and prints where
each landed. Exit 1 below the floor."""
import os
import re
import subprocess
import sys

EDICT = '/usr/share/edict/edict'
KANJIDIC = '/usr/share/edict/kanjidic'
LINE = re.compile(r'^(\S+) (?:\[(\S+)\] )?/(.*)$')
BATCH = 2000  # keys a dictcli run: an argument holds at most 128 KiB


def common_lines():
    """The readings of the lines marked common, and every (reading, spelling) of them."""
    with open(EDICT, 'rb') as source:
        lines = source.read().decode('euc-jp', 'replace').split('\n')[1:]
    readings, common = set(), set()
    for line in lines:
        found = LINE.match(line)
        if not found or '/(P)/' not in line:
            continue
        head, reading = found.group(1), found.group(2)
        common.add((reading or head, head if reading else ''))
        readings.add(reading or head)
    return sorted(readings), common


def compiled(qdxc, workdir):
    files = []
    for source in (EDICT, KANJIDIC):
        target = os.path.join(workdir, os.path.basename(source) + '.qdx')
        if not os.path.exists(target):
            subprocess.run([qdxc, '--deterministic', source, target + '.part'], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.rename(target + '.part', target)
        files.append(target)
    return files


def landings(dictcli, files, keys):
    """The (reading, spelling) each key lands on, in order."""
    rows = []
    for start in range(0, len(keys), BATCH):
        batch = keys[start:start + BATCH]
        out = subprocess.run([dictcli, 'type'] + files + ['--keys', ','.join(batch), '--rows', '1'],
                             capture_output=True, text=True, check=True).stdout.splitlines()
        current = [line[2:].partition('\t') for line in out if line.startswith('> ')]
        typed = sum(1 for line in out if line.startswith('key '))
        if typed != len(batch) or len(current) != typed:
            raise SystemExit('dictcli showed %d current rows for %d of %d keys' % (len(current), typed, len(batch)))
        rows += [(reading, spelling) for reading, _, spelling in current]
    return rows


def main(args):
    if len(args) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    dictcli, qdxc, workdir = args[:3]
    option = lambda name, default: args[args.index(name) + 1] if name in args else default
    floor = float(option('--floor', '0'))
    show = int(option('--show', '20'))
    os.makedirs(workdir, exist_ok=True)
    files = compiled(qdxc, workdir)
    readings, common = common_lines()
    landed = landings(dictcli, files, readings)
    otherwise = [(r, row) for r, row in zip(readings, landed) if row not in common]
    share = 100.0 * (len(readings) - len(otherwise)) / len(readings)
    print('common readings typed alone: %d, landing on a common spelling: %d (%.1f %%)' %
          (len(readings), len(readings) - len(otherwise), share))
    for reading, (at, spelling) in otherwise[:show]:
        print('  %s -> %s %s' % (reading, at, spelling))
    if '--write' in args:
        parts = sorted({r[:n] for r in readings for n in (1, 2) if len(r) > n})
        with open(option('--write', ''), 'w', encoding='utf-8') as out:
            for key, (at, spelling) in zip(readings + parts, landed + landings(dictcli, files, parts)):
                out.write('%s\t%s\t%s\n' % (key, at, spelling))
    if '--keys' in args:
        keys = option('--keys', '').split(',')
        for key, (at, spelling) in zip(keys, landings(dictcli, files, keys)):
            print('%s -> %s %s' % (key, at, spelling))
    return 0 if share >= floor else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
