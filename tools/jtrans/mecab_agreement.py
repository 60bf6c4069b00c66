#!/usr/bin/env python3
"""The word translator (jtrans) beside MeCab with the IPA dictionary on the
prose of Debian's Japanese manual pages (manpages-ja).

The prose: every line of the roff sources with at least five Japanese
characters, macros and escapes removed. By default every 40th page is read
(OSTREL_FULL_SWEEPS=1: all). EDICT is compiled by qdxc from the lines whose
headword or reading, less its last character, occurs in the prose (the words
the prose can reach), so the compile stays short.

For each verb and adjective MeCab calls independent (自立) whose base form
EDICT holds:
  lemma agreement  a hit starts there whose reading or word is the base form;
  exact span       such a hit spans the word and its auxiliaries;
  first code       (verbs) the code behind 3 of that hit agrees with MeCab's
                   first auxiliary through a fixed map;
  group head       in the default view (Expand 2), the first row of the
                   word's group (the last row to start at or before the
                   word) has the base form as its reading or word, or, for
                   する, is a noun joined with する (code 21) over the word;
  head or whole    the group heads above, and the words whose head is one
                   word of the dictionary that MeCab cuts into several: the
                   head begins and ends where MeCab's words do, spans two
                   of them or more, the word among them, and is an
                   expression EDICT tags (exp) (ことができる over できる,
                   かもしれない over しれる, に基づいて over 基づく) or a
                   word written with kanji and with the word as MeCab found
                   it (読み飛ばす over 読み and 飛ばし, 大きさ over 大き).
usage: mecab_agreement.py JTRANS QDXC WORKDIR [--floors L,S,C,H,W] [--golden FILE [--write]] [--pages K | --reference K]
       mecab_agreement.py --prose FILE   (all the prose, one line each, for the benchmark)
       mecab_agreement.py --kana FILE    (sentences of every 40th page in kana, one a line, for the benchmark)
The golden file pins jtrans's rows for the first 300 lines: --write makes it.
Pasted texts: the prose's first 2,000 characters as one line, and 500 of
its lines that are at least 40 % katakana, translated with EDICT and
KANJIDIC open, must be listed up to their last word."""
import functools
import gzip
import os
import re
import subprocess
import sys

JAPANESE = re.compile(r'[\u3041-\u30fe\u3400-\u9fff\u3005]')
ESCAPES = re.compile(r'\\f(\[[^\]]*\]|\(..|.)|\\s[-+]?\d|\\\(..|\\\[[^\]]*\]|\\[&/,:%|^ ]|\\-|\\e|\\\*\(..|\\\*.')


def manual_pages():
    """The pages manpages-ja installs. Other packages put pages of their own
    into the same folders, and which of them a machine has varies."""
    listed = subprocess.run(['dpkg', '-L', 'manpages-ja'], capture_output=True, text=True).stdout.split('\n')
    return sorted(p for p in listed if re.fullmatch(r'/usr/share/man/ja/man[^/]+/[^/]+\.gz', p) and os.path.isfile(p))


def prose_lines(full, offset=0):
    pages = manual_pages()
    if not full:
        pages = pages[offset::40]
    lines = []
    for page in pages:
        try:
            text = gzip.open(page, 'rb').read().decode('utf-8')
        except (OSError, UnicodeDecodeError):
            continue
        for raw in text.split('\n'):
            if raw.startswith('.') or raw.startswith("'"):
                continue
            line = ESCAPES.sub('', raw).replace('\\', '').strip()
            if len(JAPANESE.findall(line)) >= 5 and len(line) < 1000:
                lines.append(line)
    return lines


def reference_lines(offset=0, step=1):
    """The paragraphs of the Japanese Debian Reference (debian-reference-ja),
    each joined into one line, every `step`-th from the `offset`-th."""
    try:
        text = gzip.open('/usr/share/debian-reference/debian-reference.ja.txt.gz', 'rb').read().decode('utf-8')
    except (OSError, UnicodeDecodeError):
        return []
    lines = []
    for paragraph in re.split(r'\n\s*\n', text):
        line = ''
        for part in paragraph.split('\n'):
            part = part.strip()
            # A wrapped line joins the next without a blank between Japanese characters.
            if line and not (JAPANESE.match(line[-1]) and part and JAPANESE.match(part[0])):
                line += ' '
            line += part
        if len(JAPANESE.findall(line)) >= 5 and len(line) < 1000:
            lines.append(line)
    return lines[offset::step]


def units(text):
    return len(text.encode('utf-16-le')) // 2


@functools.lru_cache(maxsize=None)
def edict_entries():
    data = open('/usr/share/edict/edict', 'rb').read().decode('euc-jp', 'replace').split('\n')
    entries = []
    for line in data[1:]:
        if not line:
            continue
        head = line.split(' ', 1)[0]
        m = re.match(r'[^ ]+ \[([^\]]+)\]', line)
        entries.append((line, head, m.group(1) if m else head))
    return data[0], entries


def edict_expressions():
    """(word, reading) of each entry EDICT tags as an expression, with the
    word '' for an entry written in kana alone, as jtrans prints it."""
    found = set()
    for line, head, reading in edict_entries()[1]:
        if re.search(r'/\((?:[^)]*,)?exp[,)]', line):
            found.add(('' if head == reading else head, reading))
    return found


class Substrings:
    """`word in Substrings(text)` as `word in text`: the short words, nearly
    all of EDICT's, are looked up among the text's substrings of their length
    instead of searched for through the whole text."""

    LONGEST = 12

    def __init__(self, text):
        self.text = text
        self.by_length = {}

    def __contains__(self, word):
        if len(word) > self.LONGEST:
            return word in self.text
        found = self.by_length.get(len(word))
        if found is None:
            found = {self.text[i:i + len(word)] for i in range(len(self.text) - len(word) + 1)}
            self.by_length[len(word)] = found
        return word in found


def compile_edict(qdxc, workdir, text):
    """A slice of EDICT holding the words `text` can reach, as WORKDIR/edict.qdx."""
    os.makedirs(workdir, exist_ok=True)
    header, entries = edict_entries()
    keep = [header]
    bases = set()
    reachable = Substrings(text)
    for line, head, reading in entries:
        for word in (head, reading):
            bases.add(word)
        if any((w[:-1] if len(w) > 1 else w) in reachable for w in (head, reading)):
            keep.append(line)
    source = os.path.join(workdir, 'edict')
    with open(source, 'wb') as out:
        out.write(('\n'.join(keep) + '\n').encode('euc-jp', 'replace'))
    target = os.path.join(workdir, 'edict.qdx')
    if os.path.exists(target):
        os.remove(target)
    subprocess.run([qdxc, '--deterministic', source, target], check=True, stderr=subprocess.DEVNULL)
    return target, bases, len(keep) - 1


def run_jtrans(jtrans, dictionary, lines, expand):
    out = subprocess.run([jtrans, '--dict', dictionary, '--expand', str(expand)], input='\n'.join(lines) + '\n',
                         capture_output=True, text=True, check=True).stdout
    hits = {}
    for row in out.splitlines():
        line, start, length, reading, word, tags = row.split('\t')
        codes = [int(t) for t in tags.split(',')] if tags else []
        hits.setdefault(int(line) - 1, []).append((int(start), int(length), reading, word, codes))
    return out, hits


JAPANESE_KANJI = re.compile(r'[\u3400-\u9fff\u3005]')
KATAKANA = re.compile(r'[\u30a1-\u30fe]')


def pasted_text(lines, size, katakana_share=0.0):
    """The first `size` characters of the lines joined, of those lines only
    whose characters are at least `katakana_share` katakana."""
    text = ''
    for line in lines:
        if len(KATAKANA.findall(line)) >= katakana_share * len(line):
            text += line
        if len(text) >= size:
            break
    return text[:size]


def check_pasted_text(jtrans, qdxc, workdir, edict, text):
    """True when the rows of a text pasted as one (default view) reach its
    last Japanese character and jtrans lost no hit."""
    kanjidic = os.path.join(workdir, 'kanjidic.qdx')
    if not os.path.exists(kanjidic):
        subprocess.run([qdxc, '--deterministic', '/usr/share/edict/kanjidic', kanjidic], check=True,
                       stderr=subprocess.DEVNULL)
    run = subprocess.run([jtrans, '--dict', edict, kanjidic, '--expand', '2'], input=text + '\n',
                         capture_output=True, text=True, check=True)
    rows = [r.split('\t') for r in run.stdout.splitlines()]
    reach = max((int(r[1]) + int(r[2]) for r in rows), default=0)
    last = units(text[:max(i for i, c in enumerate(text) if JAPANESE.match(c)) + 1])
    print('pasted text: %d characters, %d rows, listed up to unit %d, its last word ends at %d%s' %
          (len(text), len(rows), reach, last, (': ' + run.stderr.strip()) if run.stderr.strip() else ''))
    return reach >= last and not run.stderr.strip()


def mecab_tokens(lines):
    dicdir = '/var/lib/mecab/dic/ipadic-utf8'
    args = ['mecab'] + (['-d', dicdir] if os.path.isdir(dicdir) else [])
    out = subprocess.run(args, input='\n'.join(lines) + '\n', capture_output=True, text=True, check=True).stdout
    sentences, tokens = [], []
    for row in out.split('\n'):
        if row == 'EOS':
            sentences.append(tokens)
            tokens = []
        elif '\t' in row:
            surface, features = row.split('\t', 1)
            tokens.append((surface, features.split(',')))
    return sentences[:len(lines)]


def kana_sentences(lines):
    """The sentences of the prose written in kana, as a text in kana reads:
    each word MeCab reads in hiragana, a word in katakana as it stands, the
    commas and full stops kept. A sentence with a word MeCab has no reading
    for (Latin letters, digits, symbols) is left out, and so is one that
    begins with a particle or an ending (the rest of a line whose first
    words were roff markup)."""
    sentences = [s for line in lines for s in re.findall(r'[^。]+。', line)]
    hiragana = str.maketrans({chr(c): chr(c - 0x60) for c in range(0x30a1, 0x30f7)})
    kana = []
    for tokens in mecab_tokens(sentences):
        if not tokens or tokens[0][1][0] in ('助詞', '助動詞') or tokens[0][1][1] in ('接尾', '非自立'):
            continue
        text = ''
        for surface, features in tokens:
            if re.fullmatch(r'[\u30a1-\u30fa\u30fc]+|[、。]', surface):
                text += surface
            elif len(features) > 7 and re.fullmatch(r'[\u30a1-\u30fa\u30fc]+', features[7]):
                text += features[7].translate(hiragana)
            else:
                break
        else:
            kana.append(text)
    return kana


def is_auxiliary(features, surface):
    return (features[0] == '助動詞' or (features[0] == '助詞' and features[1] == '接続助詞' and surface in ('て', 'で', 'ば'))
            or (features[0] == '動詞' and features[1] in ('非自立', '接尾')))


def expected_code(following):
    """The code MeCab's first auxiliary stands for, or None."""
    if not following:
        return None
    (surface, f), rest = following[0], following[1:]
    base = f[6] if len(f) > 6 else surface
    after = rest[0][1][6] if rest and len(rest[0][1]) > 6 else (rest[0][0] if rest else '')
    if base == 'ない':
        return 11
    if base == 'た':
        return 6
    if base == 'ます':
        return 35 if after == 'た' else 34 if after == 'ん' else 33
    if base in ('れる', 'られる'):
        return 9
    if base in ('せる', 'させる'):
        return 12
    if base == 'たい':
        return 38
    if base in ('う', 'よう') and surface in ('う', 'よう'):
        return 5
    if surface in ('て', 'で') and f[0] == '助詞':
        return 8 if after == 'いる' else 7
    if surface == 'ば':
        return 14
    return None


def group_head(heads, start):
    """The row heading the group a word at `start` falls into."""
    before = [h for h in heads if h[0] <= start]
    return max(before, key=lambda h: h[0]) if before else None


def heads_right(head, base, start):
    if head is None:
        return False
    if base in (head[2], head[3]):
        return True
    return base == 'する' and 21 in head[4] and head[0] < start < head[0] + head[1]


def whole_word_kind(head, surface, base, text, places, k, expressions):
    """How a head that is not the base form still heads MeCab's word k as
    one word of the dictionary (see the module's text): 'expression',
    'written with it', or None."""
    if head is None:
        return None
    h_start, h_length, reading, word, _ = head
    h_end = h_start + h_length
    start, length = places[k]
    starts = [p[0] for p in places]
    if not (h_start <= start and h_end >= start + length and h_start in starts and
            h_end in [p[0] + p[1] for p in places]):
        return None
    if sum(1 for s in starts if h_start <= s < h_end) < 2:
        return None
    if (word, reading) in expressions:
        return 'expression'
    # A headword written with kanji (a word in kana alone is a particle or
    # conjunction as often, すると over する of にすると): the text from the
    # head's start up to the word, then the word as MeCab found it (読み
    # of 読み飛ばし) or its base form (飛ばす), spells its beginning or all of it.
    lead = units_slice(text, h_start, start)
    if JAPANESE_KANJI.search(word) and (word.startswith(lead + surface) or word == lead + base):
        return 'written with it'
    return None


def units_slice(text, begin, end):
    """text between two UTF-16 positions."""
    return text.encode('utf-16-le')[2 * begin:2 * end].decode('utf-16-le', 'replace')


def compare(lines, sentences, hits, bases, heads=None, expressions=frozenset()):
    counts = {'words': 0, 'lemma': 0, 'span': 0, 'coded': 0, 'code': 0, 'head': 0,
              'expression': 0, 'written with it': 0}
    for index, (line, tokens) in enumerate(zip(lines, sentences)):
        at = 0
        places = []
        for surface, f in tokens:
            found = line.find(surface, at)
            if found < 0:
                places = None
                break
            places.append((units(line[:found]), units(surface)))
            at = found + len(surface)
        if places is None:
            continue
        line_hits = hits.get(index, [])
        for k, (surface, f) in enumerate(tokens):
            if f[0] not in ('動詞', '形容詞') or f[1] != '自立' or len(f) < 7 or f[6] not in bases:
                continue
            counts['words'] += 1
            start, length = places[k]
            following = []
            for s2, f2 in tokens[k + 1:]:
                if not is_auxiliary(f2, s2):
                    break
                following.append((s2, f2))
            span = length + sum(units(s2) for s2, _ in following)
            if heads is not None:
                head = group_head(heads.get(index, []), start)
                kind = None if heads_right(head, f[6], start) else whole_word_kind(
                    head, surface, f[6], line, places, k, expressions)
                if heads_right(head, f[6], start):
                    counts['head'] += 1
                elif kind:
                    counts[kind] += 1
                if not heads_right(head, f[6], start) and os.environ.get('OSTREL_SWEEP_MISSES') == '1':
                    print('head miss%s: %s %s at %d under %s in %s' %
                          (' (%s)' % kind if kind else '', surface, f[6], start, head, line))
            agreeing = [h for h in line_hits if h[0] == start and f[6] in (h[2], h[3])]
            if not agreeing:
                continue
            counts['lemma'] += 1
            exact = [h for h in agreeing if h[1] == span]
            if exact:
                counts['span'] += 1
            code = expected_code(following)
            if f[0] == '動詞' and code is not None:
                counts['coded'] += 1
                best = (exact or sorted(agreeing, key=lambda h: -h[1]))[0]
                if len(best[4]) > 1 and best[4][0] == 3 and best[4][1] == code:
                    counts['code'] += 1
    return counts


def main():
    args = sys.argv[1:]
    if len(args) == 2 and args[0] == '--prose':
        lines = prose_lines(True)
        open(args[1], 'w', encoding='utf-8').write('\n'.join(lines) + '\n')
        return 0 if lines else 1
    if len(args) == 2 and args[0] == '--kana':
        sentences = kana_sentences(prose_lines(False))
        open(args[1], 'w', encoding='utf-8').write('\n'.join(sentences) + '\n')
        return 0 if sentences else 1
    if len(args) < 3:
        print(__doc__)
        return 2
    jtrans, qdxc, workdir = args[:3]
    floors = golden = None
    write = '--write' in args
    if '--floors' in args:
        floors = [float(x) for x in args[args.index('--floors') + 1].split(',')]
    if '--golden' in args:
        golden = args[args.index('--golden') + 1]
    if subprocess.run(['which', 'mecab'], capture_output=True).returncode != 0 or not os.path.exists(
            '/usr/share/edict/edict'):
        print('mecab or edict missing: skipped')
        return 0
    os.makedirs(workdir, exist_ok=True)
    full = os.environ.get('OSTREL_FULL_SWEEPS') == '1'
    # Another twentieth of the pages (--pages K: every 40th from the K-th),
    # to tune on without reading the measured ones.
    offset = int(args[args.index('--pages') + 1]) if '--pages' in args else 0
    # --reference K: the Debian Reference's paragraphs, every 4th from the K-th,
    # in place of the manual pages (a text of another kind, measured apart).
    if '--reference' in args:
        lines = reference_lines(int(args[args.index('--reference') + 1]), 4)
    else:
        lines = prose_lines(full, offset)
    if not lines:
        print('manpages-ja missing: skipped')
        return 0
    status = 0
    if golden:
        # The golden's rows depend only on its own lines: its EDICT slice is
        # compiled from them, not from the rest of the prose.
        pinned = lines[:300]
        sliced, _, _ = compile_edict(qdxc, os.path.join(workdir, 'golden'), '\n'.join(pinned))
        out, _ = run_jtrans(jtrans, sliced, pinned, 2)
        if write:
            open(golden, 'w', encoding='utf-8').write(out)
            print('golden written: %d rows' % out.count('\n'))
        elif open(golden, encoding='utf-8').read() != out:
            want = open(golden, encoding='utf-8').read().splitlines()
            got = out.splitlines()
            for a, b in zip(want, got):
                if a != b:
                    print('golden differs:\n  want %s\n  got  %s' % (a, b))
                    break
            print('golden rows: want %d got %d' % (len(want), len(got)))
            status = 1
        else:
            print('golden: %d rows agree' % out.count('\n'))
    dictionary, bases, kept = compile_edict(qdxc, workdir, '\n'.join(lines))
    if os.path.exists('/usr/share/edict/kanjidic'):
        # Katakana words hold the on-readings of hundreds of kanji, which
        # KANJIDIC, opened as the kanji dictionary it is, leaves out there.
        for text in (pasted_text(lines, 2000), pasted_text(lines, 500, 0.4)):
            if not check_pasted_text(jtrans, qdxc, workdir, dictionary, text):
                status = 1
    _, hits = run_jtrans(jtrans, dictionary, lines, 0)
    _, heads = run_jtrans(jtrans, dictionary, lines, 2)
    counts = compare(lines, mecab_tokens(lines), hits, bases, heads, edict_expressions())
    whole = counts['expression'] + counts['written with it']
    words = max(counts['words'], 1)
    rates = [100.0 * counts['lemma'] / words, 100.0 * counts['span'] / words,
             100.0 * counts['code'] / max(counts['coded'], 1), 100.0 * counts['head'] / words,
             100.0 * (counts['head'] + whole) / words]
    print('lines %d, EDICT lines %d, verbs and adjectives %d' % (len(lines), kept, counts['words']))
    print('lemma agreement %.2f %%, exact span %.2f %%, first code %.2f %% (of %d), group head %.2f %% (%d)' %
          (rates[0], rates[1], rates[2], counts['coded'], rates[3], counts['head']))
    print('head or whole word %.2f %%: %d more under one word of the dictionary that MeCab cuts, '
          '%d expressions, %d written with the word' % (rates[4], whole, counts['expression'], counts['written with it']))
    if floors and any(r < f for r, f in zip(rates, floors)):
        print('below the floors %s' % floors)
        status = 1
    return status


if __name__ == '__main__':
    sys.exit(main())
