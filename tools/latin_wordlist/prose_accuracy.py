#!/usr/bin/env python3
"""How the analyser does on Latin running text that no one here wrote,
analysed through latintool over a compiled Latin dictionary:

- liturgical: the Latin parts of the liturg package's sample (the Missal and
  Breviary texts) in Debian's texlive-humanities-doc;
- Dictys: the Latin column of the reledmac package's parallel-pages sample
  in the same package (the start of Dictys Cretensis' Ephemeris belli
  Troiani);
- Livy: collatinus's own sample text, the story of Lucretia (Livy 1.57-59).

  prose_accuracy.py LATINTOOL DICTIONARY.qdx [--check PERCENT]

Prints, per text and in all, the tokens, the share analysed (anything but
UNKNOWN), the share analysed of the tokens collatinus's lexicon knows (the
rest are names, Church Latin, abbreviations and misprints that no lexicon
here holds), and, over the tokens that both know, the share whose first
analysis names one of the lexicon's lemmas for that form
(collatinus_forms.py). With --check, exits 1 when either of the last two
shares of all the texts is below PERCENT.
"""
import collections
import gzip
import os
import re
import subprocess
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import collatinus_forms  # noqa: E402

TEXT = "/usr/share/doc/texlive-doc/latex/liturg/test.tex.gz"
DICTYS = "/usr/share/doc/texlive-doc/latex/reledmac/examples/4-reledpar_pages_long_notes.tex.gz"
LIVY = "/usr/share/collatinus/data/lucretia.txt"


def latin_tokens(path=TEXT):
    """The words of the Latin parts, TeX removed: English instructions and
    comments are left out, and the accent marks ' and " of the source go."""
    text = gzip.open(path, "rt", encoding="utf-8").read()
    text = "\n".join(line.split("%")[0] for line in text.split("\n"))
    parts = re.findall(r"\\latinpart(.*?)(?=\\englishpart|\\end\{document\})", text, re.S)
    tokens = []
    for part in parts:
        part = re.sub(r"\\instruct\{[^}]*\}", " ", part)
        part = re.sub(r"\\[a-zA-Z]+\*?(\[[^\]]*\])?", " ", part)
        part = part.replace("'", "").replace('"', "")
        tokens += re.findall(r"[A-Za-z]+", part)
    return tokens


def tex_group_end(text, at):
    """The index after the group that opens with the "{" at `at`."""
    depth = 0
    for i in range(at, len(text)):
        depth += {"{": 1, "}": -1}.get(text[i], 0)
        if depth == 0:
            return i + 1
    return len(text)


def dictys_tokens(path=DICTYS):
    """The right-hand (Latin) side, each \\edtext{lemma}{notes} read as its lemma."""
    text = gzip.open(path, "rt", encoding="utf-8").read()
    side = text[text.index("\\begin{Rightside}"):text.index("\\end{Rightside}")]
    kept, at = [], 0
    while True:
        start = side.find("\\edtext{", at)
        if start < 0:
            kept.append(side[at:])
            break
        kept.append(side[at:start])
        lemma_end = tex_group_end(side, start + 7)
        kept.append(" " + side[start + 8:lemma_end - 1] + " ")
        at = tex_group_end(side, lemma_end)
    latin = re.sub(r"\\(begin|end)\{[^}]*\}|\\[a-zA-Z]+\*?", " ", "".join(kept))
    return re.findall(r"[A-Za-z]+", latin)


def livy_tokens(path=LIVY):
    """The story, its title line left out; "Sex." and the like stay words."""
    return re.findall(r"[A-Za-z]+", open(path, encoding="utf-8").read().split("\n", 1)[1])


def texts():
    found = []
    for name, path, read in (("liturgical", TEXT, latin_tokens), ("Dictys", DICTYS, dictys_tokens),
                             ("Livy", LIVY, livy_tokens)):
        if os.path.exists(path):
            found.append((name, read(path)))
    return found


def first_lemmas(latintool, dictionary, tokens):
    """Per token: whether any analysis came (a group line), and the first
    dictionary form's lemma (pronouns have none)."""
    out = subprocess.run([latintool, "analyse", "--dictionary", dictionary], input="\n".join(tokens) + "\n",
                         capture_output=True, text=True, encoding="latin-1", check=True).stdout
    firsts, found, first, any_group, group = [], [], None, False, []
    for row in out.split("\n") + ["10 "]:
        if row.startswith(("10 ", "=> ")) and group and first is None:
            # The first group with an entry names the lemma: its form, or,
            # for a pronoun (whose entry has no form), PRONOUN.
            forms = [g[3:] for g in group if g.startswith("02 ") and g[3:].strip()[:1].isalpha()]
            if forms and not re.search(r" (PRON|PACK) ", forms[0]):
                first = collatinus_forms.plain(forms[0].split(",")[0].split()[0])
            elif any(g.startswith("01 ") and (" pron. " in g or " pack. " in g) for g in group):
                first = collatinus_forms.PRONOUN
            group = []
        if row.startswith("=> "):
            firsts.append(first)
            found.append(any_group)
            first, any_group, group = None, False, []
        elif row.startswith("10 "):
            any_group = True
            group = [row]
        elif group:
            group.append(row)
    return found, firsts


Measure = collections.namedtuple("Measure", "tokens analysed lexicon lexicon_analysed compared agreeing unknown wrong")


def measure(latintool, dictionary, known, tokens):
    """The counts of one text: its tokens, those analysed, those the lexicon
    knows and how many of them were analysed, those both know and how many
    of them agree; the unknown tokens and the disagreements."""
    found, firsts = first_lemmas(latintool, dictionary, tokens)
    lemmas = [collatinus_forms.lemmas_of(known, t) for t in tokens]
    compared = [(t, f, l) for t, f, a, l in zip(tokens, firsts, found, lemmas) if a and l]
    wrong = [(t, f, sorted(l)) for t, f, l in compared if f not in l]
    unknown = [t for t, a in zip(tokens, found) if not a]
    return Measure(len(tokens), sum(found), sum(1 for l in lemmas if l), sum(1 for a, l in zip(found, lemmas) if a and l),
                   len(compared), len(compared) - len(wrong), unknown, wrong)


def percent(part, whole):
    return 100.0 * part / max(whole, 1)


def report(latintool, dictionary, check=None):
    """Prints the counts of every text and of all; with check, 1 when the
    share of the lexicon's tokens analysed or the share agreeing is below it."""
    found = texts()
    if not found:
        print("texlive-humanities-doc and collatinus missing: prose skipped")
        return 0
    known = collatinus_forms.lemmas_by_form()
    total = None
    for name, tokens in found:
        m = measure(latintool, dictionary, known, tokens)
        print("%s: tokens %d, analysed %d (%.1f %%); the lexicon knows %d, analysed %.1f %%; both know %d, "
              "first lemma agreeing %d (%.1f %%)" % (name, m.tokens, m.analysed, percent(m.analysed, m.tokens), m.lexicon,
                                                     percent(m.lexicon_analysed, m.lexicon), m.compared, m.agreeing,
                                                     percent(m.agreeing, m.compared)))
        print("  unknown: %s" % " ".join(sorted(set(m.unknown))))
        print("  first lemma not the lexicon's: %s" %
              " ".join("%s->%s(%s)" % (t, f, ",".join(l)) for t, f, l in sorted(set((t, f, tuple(l))
                                                                                     for t, f, l in m.wrong))))
        total = m if total is None else Measure(*[a + b for a, b in zip(total, m)])
    shares = (percent(total.analysed, total.tokens), percent(total.lexicon_analysed, total.lexicon),
              percent(total.agreeing, total.compared))
    print("all: tokens %d, analysed %.1f %%; of the %d the lexicon knows, analysed %.1f %%; first lemma agreeing "
          "%.1f %% of %d" % (total.tokens, shares[0], total.lexicon, shares[1], shares[2], total.compared))
    if check is not None and min(shares[1:]) < check:
        print("below %.1f %%" % check)
        return 1
    return 0


def main():
    args = sys.argv[1:]
    check = None
    if "--check" in args:
        at = args.index("--check")
        check = float(args[at + 1])
        del args[at:at + 2]
    if len(args) != 2:
        print(__doc__)
        return 2
    return report(args[0], args[1], check)


if __name__ == "__main__":
    sys.exit(main())
