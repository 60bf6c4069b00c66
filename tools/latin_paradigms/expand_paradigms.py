#!/usr/bin/env python3
"""Expands Debian's collatinus paradigms into Latin ground truth for the
analyser's test: for the lemmas that the project's word list also holds,
restricted to the declensions and conjugations its inflection table covers,
every form with its lemma and its case and number (nouns) or tense, mood,
voice, person and number (verbs).

  expand_paradigms.py --collatinus DIR --forms FILE --out FILE

--forms: the output of "latintool forms" (record id, tab, dictionary form);
the first word of each form is a lemma of the word list. The
output has one line per form: form, lemma, collatinus model, then
"N case number" or "V tense mood voice person number", blank-separated. The
form keeps the list's v and j and loses its vowel-length marks; the lemma is
written with u for v and i for j, as the list names it. Without collatinus
the output is empty.
"""
import argparse
import os
import re
import unicodedata

NOUN_MODELS = {"uita", "lupus", "puer", "ager", "templum", "miles", "ciuis", "corpus", "manus", "cornu",
               "res", "dies", "honor"}
VERB_MODELS = {"amo", "moneo", "lego", "capio", "audio", "imitor", "uereor", "sequor", "patior", "potior"}
CASES = {"nominative": "NOM", "vocative": "VOC", "accusative": "ACC", "genitive": "GEN", "dative": "DAT",
         "ablative": "ABL"}
TENSES = [("future perfect", "FUTP"), ("pluperfect", "PLUP"), ("perfect", "PERF"), ("imperfect", "IMPF"),
          ("future", "FUT"), ("present", "PRES")]
MOODS = {"indicative": "IND", "subjunctive": "SUB", "imperative": "IMP"}


def unmarked_by_steps(text):
    """Marks removed, lower case; letters only."""
    text = unicodedata.normalize("NFD", text.replace("\u045e", "y").replace("\u040e", "Y"))
    text = "".join(c for c in text if not unicodedata.combining(c)).lower()
    return "".join(c for c in text if c.isalpha())


class _UnmarkedLetters(dict):
    """Code point -> its unmarked text, made on first use: each step above
    takes one character at a time, but for the lower case of a capital
    sigma, which depends on the letter after it."""

    def __missing__(self, code):
        self[code] = unmarked_by_steps(chr(code))
        return self[code]


_UNMARKED_LETTERS = _UnmarkedLetters()


def unmarked(text):
    """Marks removed, lower case; letters only (as unmarked_by_steps, a
    character at a time through a table: the models make millions of forms)."""
    if "\u03a3" in text:
        return unmarked_by_steps(text)
    return text.translate(_UNMARKED_LETTERS)


def plain(text):
    """As unmarked, with v as u and j as i: how lemmas are compared."""
    return unmarked(text).replace("v", "u").replace("j", "i")


def read_morphos(path):
    morphos = {}
    for line in open(path, encoding="utf-8"):
        if line.startswith("!") or ":" not in line:
            continue
        number, text = line.split(":", 1)
        if number.isdigit():
            morphos[int(number)] = text.strip()
    return morphos


def describe(pos, text):
    """The analyser's codes for a collatinus morpho, or None when not compared."""
    words = text.split()
    number = "S" if "singular" in words else "P" if "plural" in words else None
    if number is None:
        return None
    if pos == "N":
        if len(words) != 2 or words[0] not in CASES:
            return None
        return "N %s %s" % (CASES[words[0]], number)
    tense = next((code for name, code in TENSES if text.startswith(name)), None)
    mood = next((code for name, code in MOODS.items() if name in words), None)
    voice = "ACTIVE" if "active" in words else "PASSIVE" if "passive" in words else None
    person = next((w[0] for w in words if w in ("1st", "2nd", "3rd")), None)
    if None in (tense, mood, voice, person):
        return None
    return "V %s %s %s %s %s" % (tense, mood, voice, person, number)


def ranges(text):
    numbers = []
    for part in text.split(","):
        if "-" in part:
            a, b = part.split("-")
            numbers.extend(range(int(a), int(b) + 1))
        else:
            numbers.append(int(part))
    return numbers


def read_models(path):
    variables, models, current = {}, {}, None
    for raw in open(path, encoding="utf-8"):
        line = raw.strip()
        if not line or line.startswith("!"):
            continue
        if line.startswith("$"):
            name, value = line[1:].split("=", 1)
            variables[name] = value.split(";")
            continue
        key, _, value = line.partition(":")
        if key == "modele":
            current = models.setdefault(value, {"parent": None, "radicals": {}, "endings": {}, "absent": set()})
        elif current is None:
            continue
        elif key == "pere":
            current["parent"] = value
        elif key == "R":
            number, rule = value.split(":", 1)
            current["radicals"][int(number)] = rule
        elif key in ("des", "des+"):
            numbers, radical, endings = value.split(":", 2)
            items = expand(endings, variables)
            for morpho, ending in zip(ranges(numbers), items):
                forms = [(int(radical), e) for e in ending.split(",") if e]
                if key == "des+":
                    current["endings"].setdefault(morpho, []).extend(forms)
                else:
                    current["endings"][morpho] = forms
        elif key == "abs":
            current["absent"].update(ranges(value))
    return models


def expand(endings, variables):
    items = []
    for item in endings.split(";"):
        match = re.match(r"^(.*)\$(\w+)$", item)
        if match and match.group(2) in variables:
            items.extend(match.group(1) + v for v in variables[match.group(2)])
        else:
            items.append(item)
    return items


def resolved(models, name):
    """A model with its parents' radicals and endings under its own."""
    model = models.get(name)
    if model is None:
        return None
    merged = {"radicals": {}, "endings": {}, "absent": set()}
    if model["parent"]:
        parent = resolved(models, model["parent"])
        if parent:
            merged = {"radicals": dict(parent["radicals"]), "endings": dict(parent["endings"]),
                      "absent": set(parent["absent"])}
    merged["radicals"].update(model["radicals"])
    merged["endings"].update(model["endings"])
    merged["absent"] |= model["absent"]
    return merged


def radical(canonical, rule):
    cut, _, add = rule.partition(",")
    base = canonical[:-int(cut)] if cut.isdigit() and int(cut) > 0 else canonical
    return base + ("" if add in ("0", "") else add)


def forms_of(fields, models, morphos):
    """The forms of one lemmes.la entry (its fields split at "|") whose model
    is compared: (form, lemma, model, codes) each."""
    if len(fields) < 4 or fields[1] not in NOUN_MODELS | VERB_MODELS:
        return
    head = fields[0].split("=")
    lemma = plain(head[0])
    canonical = re.sub(r"\d", "", (head[1] if len(head) > 1 else head[0]).split(",")[0])
    model = resolved(models, fields[1])
    pos = "N" if fields[1] in NOUN_MODELS else "V"
    # "R:1:-": the lemma must give that radical itself.
    radicals = {n: [radical(canonical, rule)] for n, rule in model["radicals"].items() if rule != "-"}
    for n, given in ((1, fields[2]), (2, fields[3])):
        if given:
            radicals[n] = given.split(",")
    for morpho, forms in sorted(model["endings"].items()):
        codes = describe(pos, morphos.get(morpho, ""))
        if codes is None or morpho in model["absent"]:
            continue
        for number, ending in forms:
            for stem in radicals.get(number, []):
                yield unmarked(stem + ending), lemma, fields[1], codes


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--collatinus", required=True)
    parser.add_argument("--forms", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    lines = []
    lemmas_path = os.path.join(args.collatinus, "lemmes.la")
    if os.path.exists(lemmas_path):
        wanted = set()
        for line in open(args.forms, encoding="latin-1"):
            form = line.rstrip("\n").split("\t")[-1].split()
            if form:
                wanted.add(plain(form[0]))
        models = read_models(os.path.join(args.collatinus, "modeles.la"))
        morphos = read_morphos(os.path.join(args.collatinus, "morphos.en"))
        for line in open(lemmas_path, encoding="utf-8"):
            fields = line.rstrip("\n").split("|")
            if line.startswith("!") or len(fields) < 4 or plain(fields[0].split("=")[0]) not in wanted:
                continue
            for form, lemma, model, codes in forms_of(fields, models, morphos):
                lines.append("%s %s %s %s" % (form, lemma, model, codes))
    with open(args.out, "w", encoding="ascii") as out:
        out.write("\n".join(sorted(set(lines))) + ("\n" if lines else ""))


if __name__ == "__main__":
    main()
