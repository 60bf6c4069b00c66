#!/usr/bin/env python3
"""How the analyser does on Latin running text that no one here wrote: the
Latin parts of the liturgical sample of Debian's texlive-humanities-doc
(the Missal and Breviary texts of the liturg package), analysed through
latintool over a compiled Latin dictionary.

  prose_accuracy.py LATINTOOL DICTIONARY.qdx

Prints the tokens, the share analysed (anything but UNKNOWN), and, over the
tokens whose form collatinus's own paradigms generate, the share whose
first analysis names one of the lexicon's lemmas for that form.
"""
import gzip
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "latin_paradigms"))
import expand_paradigms  # noqa: E402

TEXT = "/usr/share/doc/texlive-doc/latex/liturg/test.tex.gz"
LEXICON = "/usr/share/collatinus/data"


def latin_tokens(path):
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


def lexicon_lemmas():
    """Form -> the lexicon's lemmas that generate it (the compared models)."""
    models = expand_paradigms.read_models(os.path.join(LEXICON, "modeles.la"))
    morphos = expand_paradigms.read_morphos(os.path.join(LEXICON, "morphos.en"))
    lemmas = {}
    for raw in open(os.path.join(LEXICON, "lemmes.la"), encoding="utf-8"):
        fields = raw.rstrip("\n").split("|")
        if raw.startswith("!"):
            continue
        for form, lemma, _, _ in expand_paradigms.forms_of(fields, models, morphos):
            lemmas.setdefault(expand_paradigms.plain(form), set()).add(lemma)
    return lemmas


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    latintool, dictionary = sys.argv[1:]
    if not os.path.exists(TEXT):
        print("texlive-humanities-doc missing: skipped")
        return 0
    tokens = latin_tokens(TEXT)
    out = subprocess.run([latintool, "analyse", "--dictionary", dictionary], input="\n".join(tokens) + "\n",
                         capture_output=True, text=True, encoding="latin-1", check=True).stdout
    # Per token: whether any analysis came (a group line), and the first
    # dictionary form's lemma (pronouns have none).
    firsts, found, first, any_group = [], [], None, False
    for row in out.split("\n"):
        if row.startswith("=> "):
            firsts.append(first)
            found.append(any_group)
            first, any_group = None, False
        elif row.startswith("10 "):
            any_group = True
        elif row.startswith("02 ") and first is None:
            first = expand_paradigms.plain(row[3:].split(",")[0].split()[0])
    analysed = sum(found)
    known = lexicon_lemmas()
    compared = [(t, f) for t, f in zip(tokens, firsts) if expand_paradigms.plain(t) in known]
    agreeing = sum(1 for t, f in compared if f in known[expand_paradigms.plain(t)])
    print("tokens %d, analysed %d (%.1f %%)" % (len(tokens), analysed, 100.0 * analysed / max(len(tokens), 1)))
    print("tokens the lexicon's paradigms generate %d, first lemma agreeing %d (%.1f %%)" %
          (len(compared), agreeing, 100.0 * agreeing / max(len(compared), 1)))
    unknown = sorted(set(t for t, f in zip(tokens, found) if not f))
    print("unknown: %s" % " ".join(unknown[:60]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
