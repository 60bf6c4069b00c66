#!/usr/bin/env python3
"""Makes the phrase splitter's test keys from Debian's Japanese documentation.

  make_phrase_keys.py golden OUT   clauses of the Debian reference, as written
                                   and as typed (the hiragana of MeCab's readings)
  make_phrase_keys.py mecab OUT    kana keys from clauses of the Japanese manual
                                   pages, one MeCab token reading per field
                                   (hiragana; katakana words stay katakana)

Clauses are runs of kana and kanji cut at everything else. A clause MeCab
cannot read whole (a token without a reading) is left out. A missing source
or MeCab writes an empty file: the tests that need it then skip.
"""
import gzip
import os
import re
import subprocess
import sys

CLAUSE = re.compile('[\u3041-\u3096\u30a1-\u30fa\u30fc\u3005\u4e00-\u9fff]+')


def clauses(texts, shortest, longest):
    seen = set()
    for text in texts:
        for clause in CLAUSE.findall(text):
            if shortest <= len(clause) <= longest and re.search('[\u3041-\u3096]', clause) and clause not in seen:
                seen.add(clause)
                yield clause


def hiragana(text):
    return ''.join(chr(ord(c) - 0x60) if '\u30a1' <= c <= '\u30f6' else c for c in text)


KATAKANA = re.compile('[\u30a1-\u30fa\u30fc]+')


def readings(lines, keep_katakana=False):
    """Each line's tokens as hiragana readings (katakana words stay katakana
    with `keep_katakana`, as a typist would write them), or None when one has none."""
    try:
        out = subprocess.run(['mecab'], input='\n'.join(lines) + '\n', capture_output=True, text=True,
                             check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return []
    result, tokens = [], []
    for row in out.split('\n'):
        if row == 'EOS':
            result.append(tokens)
            tokens = []
            continue
        if '\t' not in row:
            continue
        surface, features = row.split('\t', 1)
        fields = features.split(',')
        reading = fields[7] if len(fields) > 7 and fields[7] != '*' else None
        if reading is None and re.fullmatch('[\u3041-\u3096\u30a1-\u30fa\u30fc]+', surface):
            reading = surface
        if reading is not None and not (keep_katakana and KATAKANA.fullmatch(surface)):
            reading = hiragana(reading)
        if tokens is not None:
            tokens = None if reading is None else tokens + [reading]
    return result


def read_gz(path):
    try:
        with gzip.open(path, 'rt', encoding='utf-8', errors='replace') as f:
            return f.read()
    except OSError:
        return ''


def golden(out):
    text = read_gz('/usr/share/debian-reference/debian-reference.ja.txt.gz')
    picked = list(clauses([text], 4, 20))[::40][:150]
    typed = readings(picked)
    with open(out, 'w', encoding='utf-8') as f:
        for written, tokens in zip(picked, typed):
            if tokens:
                f.write(written + '\n' + ''.join(tokens) + '\n')


def section_one_pages():
    """Section 1 of the pages manpages-ja installs: other packages add pages
    of their own to the folder, and which of them a machine has varies."""
    listed = subprocess.run(['dpkg', '-L', 'manpages-ja'], capture_output=True, text=True).stdout.split('\n')
    return sorted(p for p in listed if re.fullmatch(r'/usr/share/man/ja/man1/[^/]+\.gz', p) and os.path.isfile(p))


def mecab_keys(out):
    texts = []
    for path in section_one_pages()[:400]:
        page = read_gz(path)
        texts.append('\n'.join(line for line in page.split('\n') if not line.startswith('.')))
    picked = list(clauses(texts, 4, 30))[::2][:4000]
    with open(out, 'w', encoding='utf-8') as f:
        for tokens in readings(picked, keep_katakana=True):
            if tokens and all(tokens):
                f.write(' '.join(tokens) + '\n')


if __name__ == '__main__':
    {'golden': golden, 'mecab': mecab_keys}[sys.argv[1]](sys.argv[2])
