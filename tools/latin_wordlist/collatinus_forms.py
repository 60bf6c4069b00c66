#!/usr/bin/env python3
"""Every form of Debian's collatinus lexicon with the lemmas that make it:
the outside oracle the converted word list is measured against. All models
(their parents' radicals and endings under their own, absent morphologies
left out, suffixes added), the irregular forms of irregs.la, and the
invariable words with their spellings. Forms and lemmas are compared
"plain": marks removed, lower case, v as u and j as i, homonym digits gone.

  collatinus_forms.py FORM ...     the lemmas of each form
"""
import functools
import os
import re
import sys
import unicodedata

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "latin_paradigms"))
import expand_paradigms  # noqa: E402

LEXICON = "/usr/share/collatinus/data"
ENCLITICS = ("que", "ne", "ve")


# The same few hundred thousand forms are made over and over by the models.
@functools.lru_cache(maxsize=None)
def plain(text):
    return expand_paradigms.plain(re.sub(r"\d", "", text))


def read_models(path):
    """expand_paradigms' reading, with the suffixes ("suf", "sufd") kept."""
    models = expand_paradigms.read_models(path)
    current = None
    for raw in open(path, encoding="utf-8"):
        key, _, value = raw.strip().partition(":")
        if key == "modele":
            current = models[value]
            current.setdefault("suffix", [])
            current.setdefault("all", [])
            current.setdefault("plus", set())
        elif current is not None and key == "des+":
            current["plus"].update(expand_paradigms.ranges(value.split(":")[0]))
        elif current is not None and key == "suf":
            numbers, suffix = value.rsplit(":", 1)
            current["suffix"].append((set(expand_paradigms.ranges(numbers)), suffix))
        elif current is not None and key == "sufd":
            current["all"].append(value)
    return models


def resolved(models, name, seen=()):
    model = models.get(name)
    if model is None or name in seen:
        return None
    merged = {"radicals": {}, "endings": {}, "absent": set(), "suffix": [], "all": []}
    if model["parent"]:
        parent = resolved(models, model["parent"], seen + (name,))
        if parent:
            merged = {k: (dict(v) if isinstance(v, dict) else set(v) if isinstance(v, set) else list(v))
                      for k, v in parent.items()}
    merged["radicals"].update(model["radicals"])
    for morpho, endings in model["endings"].items():
        # "des+" adds to the parent's endings, "des" replaces them.
        kept = merged["endings"].get(morpho, []) if morpho in model.get("plus", ()) else []
        merged["endings"][morpho] = kept + endings
    merged["absent"] |= model["absent"]
    merged["suffix"] += model.get("suffix", [])
    # A model's own "sufd" replaces its parent's (quicumque and qui).
    merged["all"] = model.get("all") or merged["all"]
    return merged


def forms_of_entry(fields, models):
    """The plain forms of one lemmes.la entry (fields split at "|")."""
    head = fields[0].split("=")
    canonical = re.sub(r"\d", "", (head[1] if len(head) > 1 else head[0]).split(",")[0])
    # A letter with two marks ("ō̆") is one letter where a radical cuts letters.
    canonical = "".join(c for c in unicodedata.normalize("NFC", canonical) if not unicodedata.combining(c))
    if fields[1] == "inv":
        return {plain(f) for f in (head[1] if len(head) > 1 else head[0]).split(",") if f}
    model = resolved(models, fields[1])
    if model is None:
        return set()
    radicals = {n: [expand_paradigms.radical(canonical, rule)] for n, rule in model["radicals"].items() if rule != "-"}
    for n, given in ((1, fields[2]), (2, fields[3])):
        if given == "-":
            radicals.pop(n, None)
        elif given:
            radicals[n] = given.split(",")
    forms = set()
    for morpho, endings in model["endings"].items():
        if morpho in model["absent"]:
            continue
        for number, ending in endings:
            for stem in radicals.get(number, []):
                made = [stem + ending + s for s in model["all"]] or [stem + ending]
                forms.update(made)
                for morphos, suffix in model["suffix"]:
                    if morpho in morphos:
                        forms.update(f + suffix for f in made)
    return {plain(f) for f in forms}


PRONOUN_MODELS = {"qui", "quis", "hic", "is", "ille", "ego", "tu", "se", "ipse", "nos", "uos", "idem", "quidam",
                  "quisque", "quisquam", "quicumque", "quisquis", "aliqui", "aliquis", "ecquis", "quilibet", "quiuis",
                  "quispiam", "quinam", "quisnam", "siquis", "unusquisque", "uterque", "uter"}
# The lemma of a pronoun: the analyser's pronoun entries name none, so a
# pronoun reading agrees with the lexicon's when the lexicon reads the form
# as a pronoun too.
PRONOUN = "(pronoun)"


def lemmas_by_form(directory=LEXICON):
    """plain form -> set of plain lemmas; empty without the lexicon. A
    lemma's other spellings ("a=a,ab,abs") name it too, and a form that a
    pronoun model makes also has the lemma PRONOUN. Made once per process
    and folder (the conversion and each check read it): callers only read it."""
    return _lemmas_by_form(os.path.abspath(directory))


@functools.lru_cache(maxsize=None)
def _lemmas_by_form(directory):
    table = {}
    if not os.path.exists(os.path.join(directory, "lemmes.la")):
        return table
    models = read_models(os.path.join(directory, "modeles.la"))
    for raw in open(os.path.join(directory, "lemmes.la"), encoding="utf-8"):
        fields = raw.rstrip("\n").split("|")
        if raw.startswith("!") or len(fields) < 5:
            continue
        head = fields[0].split("=")
        names = {plain(head[0])}
        if fields[1] == "inv" and len(head) > 1:
            names |= {plain(f) for f in head[1].split(",") if f}
        if fields[1] in PRONOUN_MODELS:
            names.add(PRONOUN)
        for form in forms_of_entry(fields, models):
            table.setdefault(form, set()).update(names)
    for raw in open(os.path.join(directory, "irregs.la"), encoding="utf-8"):
        fields = raw.rstrip("\n").split(":")
        if raw.startswith("!") or len(fields) < 3:
            continue
        table.setdefault(plain(fields[0].rstrip("*")), set()).add(plain(fields[1]))
    return table


def lemmas_of(table, token):
    """The lexicon's lemmas of a token, an enclitic taken off when the whole
    token is no form; an empty set when the lexicon does not know it."""
    form = plain(token)
    if form in table:
        return table[form]
    for enclitic in ENCLITICS:
        if form.endswith(enclitic) and form[:-len(enclitic)] in table:
            return table[form[:-len(enclitic)]]
    return set()


if __name__ == "__main__":
    known = lemmas_by_form()
    for word in sys.argv[1:]:
        print(word, " ".join(sorted(lemmas_of(known, word))) or "-")
