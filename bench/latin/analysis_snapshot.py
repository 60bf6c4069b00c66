#!/usr/bin/env python3
"""Writes the Latin analyser's whole output over real and crafted words, so
that a change meant to make it faster can be shown to change no analysis:
take a snapshot before and one after, then `diff -r BEFORE AFTER`.

  analysis_snapshot.py LATINTOOL DATA DICTIONARY.qdx OUT [--every N]

DATA is a latin/data build folder (the project's word list, INFLECTS.SEC,
ADDONS.LAT), DICTIONARY the word list converted from collatinus and compiled
by qdxc. The words: the Latin parts of the liturgical sample of Debian's
texlive-humanities-doc, every form collatinus's paradigms generate (every
Nth of them with --every), collatinus's lemmas and its sample text, and the
crafted words of crafted_words.txt. OUT gets one word file per set and, per
set, the coded lines through the in-memory host over DATA (memory-SET.txt)
and through the bridge over DICTIONARY (bridge-SET.txt).
"""
import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.join(HERE, "..", "..", "tools")
sys.path.insert(0, os.path.join(TOOLS, "latin_wordlist"))
sys.path.insert(0, os.path.join(TOOLS, "latin_paradigms"))
import expand_paradigms  # noqa: E402
import prose_accuracy  # noqa: E402

LEXICON = "/usr/share/collatinus/data"


def paradigm_forms(every):
    models = expand_paradigms.read_models(os.path.join(LEXICON, "modeles.la"))
    morphos = expand_paradigms.read_morphos(os.path.join(LEXICON, "morphos.en"))
    forms = set()
    for raw in open(os.path.join(LEXICON, "lemmes.la"), encoding="utf-8"):
        if raw.startswith("!"):
            continue
        for form, _, _, _ in expand_paradigms.forms_of(raw.rstrip("\n").split("|"), models, morphos):
            forms.add(form)
    return sorted(forms)[::every]


def lexicon_words():
    words = []
    for raw in open(os.path.join(LEXICON, "lemmes.la"), encoding="utf-8"):
        if not raw.startswith("!"):
            words.append(expand_paradigms.unmarked(re.sub(r"\d", "", raw.split("|")[0].split("=")[0])))
    for line in open(os.path.join(LEXICON, "lucretia.txt"), encoding="utf-8"):
        words += [expand_paradigms.unmarked(w) for w in line.split()]
    return [w for w in words if w]


def crafted_words():
    return [line.strip() for line in open(os.path.join(HERE, "crafted_words.txt"))
            if line.strip() and not line.startswith("#")]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("latintool")
    parser.add_argument("data")
    parser.add_argument("dictionary")
    parser.add_argument("out")
    parser.add_argument("--every", type=int, default=1)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    sets = {"liturgical": prose_accuracy.latin_tokens(prose_accuracy.TEXT),
            "paradigms": paradigm_forms(args.every), "lexicon": lexicon_words(), "crafted": crafted_words()}
    for name, words in sets.items():
        text = "\n".join(words) + "\n"
        with open(os.path.join(args.out, "words-%s.txt" % name), "w", encoding="utf-8") as out:
            out.write(text)
        for host, option, path in (("memory", "--data", args.data), ("bridge", "--dictionary", args.dictionary)):
            result = subprocess.run([args.latintool, "analyse", option, path], input=text.encode("utf-8"),
                                    capture_output=True, check=True).stdout
            with open(os.path.join(args.out, "%s-%s.txt" % (host, name)), "wb") as out:
                out.write(result)
        print("%s: %d words" % (name, len(words)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
