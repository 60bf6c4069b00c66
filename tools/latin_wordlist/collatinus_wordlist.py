#!/usr/bin/env python3
"""Converts Debian's collatinus lexicon into the analyser's fixed-column Latin
word list, so that a user has a real Latin dictionary: each lemma of
lemmes.la with its paradigm model becomes one line with the four stems, the
part of speech and inflection codes, and the English meaning of lemmes.en.

  collatinus_wordlist.py --collatinus DIR --out FILE [--report FILE]

Line layout (columns from 1): stems at 1, 20, 39 and 58 (18 wide); the code
field at 77 (23 wide); further codes at 101; the meaning from 111.

The pronouns come from the project's own word list (--pronouns), whose PRON
and PACK lines are appended. Lines are written commonest lemma first (the
lexicon's frequency), so that of two entries with one stem the analyser
names the commoner first. Each model the lexicon uses is either mapped by
MODELS below (part of
speech, codes and the rule that makes the four stems from the lemma and the
radicals lemmes.la gives) or left out with its lemmas; the report lists the
entries written, those skipped by reason, and every model with its count and
mapping. The text is ASCII: vowel-length marks are dropped, homonym digits
removed, and a lemma that keeps another character is skipped.
"""
import argparse
import collections
import html
import os
import re
import sys
import unicodedata

STEM_WIDTH = 18
NO_STEM = "zzz"
FURTHER_CODES = "X X X A X"
MEANING_LIMIT = 140     # characters of English kept after column 111


def ascii_text(text):
    """Marks dropped, Cyrillic y-with-breve read as y, ligatures spelt out;
    None when something else outside ASCII stays."""
    text = text.replace("\u045e", "y").replace("\u040e", "Y").replace("\u00e6", "ae").replace("\u0153", "oe")
    text = text.replace("\u00c6", "Ae").replace("\u0152", "Oe")
    text = unicodedata.normalize("NFKD", text)
    text = "".join(c for c in text if not unicodedata.combining(c))
    return text if all(ord(c) < 128 for c in text) else None


def plain_meaning(text):
    """The meaning in ASCII: the lexicon's HTML entities read (&oelig;,
    &aelig;, ...), typographic marks replaced, anything else dropped."""
    text = html.unescape(text)
    text = text.replace("\u0153", "oe").replace("\u00e6", "ae").replace("\u0152", "Oe").replace("\u00c6", "Ae")
    for a, b in (("\u2013", "-"), ("\u2014", "-"), ("\u2018", "'"), ("\u2019", "'"), ("\u201c", '"'),
                 ("\u201d", '"'), ("\u2026", "...")):
        text = text.replace(a, b)
    text = unicodedata.normalize("NFKD", text)
    text = "".join(c for c in text if not unicodedata.combining(c) and 32 <= ord(c) < 127)
    text = re.sub(r"\s+", " ", text).strip()
    if len(text) > MEANING_LIMIT:
        cut = text.rfind(";", 0, MEANING_LIMIT)
        text = text[:cut + 1] if cut > 40 else text[:MEANING_LIMIT]
    return text


def first_radical(field):
    """The radical of the lexicon's list that the stems take: the first, or a
    perfect in -v where the list holds one (peti,petiv: petivi, and petii
    by syncope)."""
    radicals = [r for r in (ascii_text(f) for f in field.split(",")) if r]
    return next((r for r in radicals if r.endswith("v")), radicals[0] if radicals else "")


def gender(info):
    """N, M, F or C (common) from the gender letters of the lemma's note."""
    words = re.findall(r"\b([mfn])\.", info)
    if "m" in words and "f" in words:
        return "C"
    if "n" in words:
        return "N"
    if "f" in words:
        return "F"
    return "M"


def ends(text, ending):
    return text.endswith(ending) and len(text) > len(ending)


# Stem rules. Each takes (lemma, r1, r2): the canonical lemma and the first
# and second radicals lemmes.la gives (empty when the model makes them),
# and answers the four stems, or None when the lemma does not fit.
def noun_same(ending):
    return lambda c, r1, r2: (c[:-len(ending)],) * 2 if ends(c, ending) else None


def noun_nominative(oblique_cut, oblique_add=""):
    """Third declension and -er nouns: the nominative itself, then the
    oblique stem given by the lexicon or made from the nominative."""
    def rule(c, r1, r2):
        oblique = r1 or (c[:-oblique_cut] + oblique_add if oblique_cut else c + oblique_add)
        return (c, oblique) if oblique else None
    return rule


def adjective(ending, superlative="issi"):
    """doctus, fortis, facilis: the lemma less its last two letters serves
    the positive; the comparative adds i, the superlative its own letters,
    unless the lexicon gives their radicals (bonus: meli-, optim-; the
    superlative stem is the radical without its m: optimus = opti + mus)."""
    def rule(c, r1, r2):
        if not ends(c, ending):
            return None
        s = c[:-2]
        superlative_stem = r2[:-1] if r2.endswith("m") else s + superlative
        return (s, s, r1 or s + "i", superlative_stem)
    return rule


def adjective_1_positive(c, r1, r2):
    if ends(c, "us"):
        return (c[:-2], c[:-2])
    if ends(c, "i"):          # distributives and other plurals: bini, ceteri
        return (c[:-1], c[:-1])
    return None


def adjective_er(keep_e):
    def rule(c, r1, r2):
        if not ends(c, "er"):
            return None
        oblique = r1 or (c if keep_e else c[:-2] + "r")
        return (c, oblique, oblique + "i", c + "ri")
    return rule


def adjective_3_one(oblique_cut, oblique_add):
    def rule(c, r1, r2):
        oblique = r1 or c[:-oblique_cut] + oblique_add
        return (c, oblique, oblique + "i", oblique + "issi")
    return rule


def verb(present_cut, infinitive_cut, perfect_add, supine_add):
    """Present stem, infinitive stem, perfect and supine: the lexicon's
    radicals where it gives them, else the model's regular ones."""
    def rule(c, r1, r2):
        if len(c) <= max(present_cut, infinitive_cut):
            return None
        present, infinitive = c[:-present_cut], c[:-infinitive_cut]
        perfect = r1 or (infinitive + perfect_add if perfect_add is not None else "")
        supine = r2 or (infinitive + supine_add if supine_add is not None else "")
        return (present, infinitive, perfect or NO_STEM, supine or NO_STEM)
    return rule


def deponent(present_cut, infinitive_cut, supine_add):
    def rule(c, r1, r2):
        if len(c) <= max(present_cut, infinitive_cut):
            return None
        infinitive = c[:-infinitive_cut]
        supine = r2 or (infinitive + supine_add if supine_add is not None else "")
        return (c[:-present_cut], infinitive, NO_STEM, supine or NO_STEM)
    return rule


def whole_word(c, r1, r2):
    return (c,)


def fixed(*stems):
    """An irregular word through its own stems, whatever the lemma."""
    return lambda c, r1, r2: stems


def cut_add(cut, add=""):
    """A first stem made from the lemma (cut letters, added letters), the
    same second stem: Greek names and -os nouns in their Latin forms."""
    return lambda c, r1, r2: (c[:-cut] + add,) * 2 if len(c) > cut else None


def comparative_only(c, r1, r2):
    """interior, ulterior: the comparative stem is the lemma less -or."""
    return (c[:-2],) if ends(c, "or") else None


def impersonal(c, r1, r2):
    """decet, licet: the present stem, the perfect from the lexicon."""
    if not ends(c, "et"):
        return None
    return (c[:-2], c[:-2], r1 or NO_STEM, r2 or NO_STEM)


def compound(ending, stems):
    """A compound of an irregular verb: the prefix (what stands before
    `ending`, or the second radical where the lexicon gives the prefix there)
    before the verb's own stems; the first radical replaces the perfect."""
    def rule(c, r1, r2):
        if not c.endswith(ending):
            return None
        prefix = c[:-len(ending)]
        made = [prefix + s if s != NO_STEM else s for s in stems]
        if r1:
            made[2] = r1
        if r2 and made[3] != NO_STEM:
            made[3] = r2        # aufero: abstuli, ablatum
        return tuple(made)
    return rule


def sum_compound(c, r1, r2):
    """adsum, absum: the prefix before sum's stems s-, (empty), fu-, fut-."""
    prefix = r2 or (c[:-3] if c.endswith("sum") else "")
    if not prefix:
        return None     # sum itself: the compiler adds its built-in entry
    return (prefix + "s", prefix, r1 or prefix + "fu", prefix + "fut")


# model -> (code field without gender, stem rule, needs gender)
# The code field is laid out as "POS" in 7 columns, then the codes.
MODELS = {
    # first declension
    "uita": ("N 1 1 {g} X", noun_same("a"), True),
    "roma": ("N 1 1 {g} X", noun_same("a"), True),
    "dea": ("N 1 1 F X", noun_same("a"), False),
    "epulae": ("N 1 1 {g} X", noun_same("ae"), True),
    "cometes": ("N 1 1 M X", noun_same("es"), False),
    # second declension
    "lupus": ("N 2 1 {g} X", noun_same("us"), True),
    "deus": ("N 2 1 M X", noun_same("us"), False),
    "filius": ("N 2 4 {g} X", noun_same("us"), True),
    "puer": ("N 2 3 {g} X", noun_nominative(0), True),
    "ager": ("N 2 3 {g} X", noun_nominative(2, "r"), True),
    "templum": ("N 2 2 N X", noun_same("um"), False),
    "liberi": ("N 2 1 {g} X", noun_same("i"), True),
    "castra": ("N 2 2 N X", noun_same("a"), False),
    # third declension
    "miles": ("N 3 1 {g} X", noun_nominative(0), True),
    "honor": ("N 3 1 {g} X", noun_nominative(0), True),
    "ciuis": ("N 3 3 {g} X", noun_nominative(2), True),
    "nauis": ("N 3 3 F X", noun_nominative(2), False),
    "turris": ("N 3 3 F X", noun_nominative(2), False),
    "corpus": ("N 3 2 N X", noun_nominative(0), False),
    "mare": ("N 3 3 N X", noun_nominative(1), False),
    "animal": ("N 3 3 N X", noun_nominative(0), False),
    "moenia": ("N 3 3 N X", noun_same("ia"), False),
    "manes": ("N 3 3 {g} X", noun_same("es"), True),
    "opes": ("N 3 1 {g} X", noun_same("es"), True),
    # fourth and fifth declensions
    "manus": ("N 4 1 {g} X", noun_same("us"), True),
    "lacus": ("N 4 1 M X", noun_same("us"), False),
    "acus": ("N 4 1 F X", noun_same("us"), False),
    "domus": ("N 4 1 F X", noun_same("us"), False),
    "cornu": ("N 4 2 N X", noun_same("u"), False),
    "res": ("N 5 1 F X", noun_same("es"), False),
    "dies": ("N 5 1 {g} X", noun_same("es"), True),
    # adjectives
    "doctus": ("ADJ 1 1 X", adjective("us"), False),
    "aureus": ("ADJ 1 1 POS", adjective_1_positive, False),
    "nonus": ("ADJ 1 1 POS", adjective_1_positive, False),
    "deni": ("ADJ 1 1 POS", adjective_1_positive, False),
    "meus": ("ADJ 1 1 POS", adjective_1_positive, False),
    "miser": ("ADJ 1 2 X", adjective_er(True), False),
    "pulcher": ("ADJ 1 2 X", adjective_er(False), False),
    "fortis": ("ADJ 3 2 X", adjective("is"), False),
    "facilis": ("ADJ 3 2 X", adjective("ilis", "li"), False),
    "felix": ("ADJ 3 1 X", adjective_3_one(1, "c"), False),
    "diues": ("ADJ 3 1 X", adjective_3_one(0, ""), False),
    "uetus": ("ADJ 3 1 X", adjective_3_one(2, "er"), False),
    "infans": ("ADJ 3 1 X", adjective_3_one(1, "t"), False),
    "acer": ("ADJ 3 3 X", adjective_er(False), False),
    # verbs
    "amo": ("V 1 1 X", verb(1, 1, "av", "at"), False),
    "moneo": ("V 2 1 X", verb(2, 2, "u", "it"), False),
    "lego": ("V 3 1 X", verb(1, 1, None, None), False),
    "dico": ("V 3 1 X", verb(1, 1, None, None), False),
    "capio": ("V 3 1 X", verb(1, 2, None, None), False),
    "facio": ("V 3 1 X", verb(1, 2, None, None), False),
    "audio": ("V 3 4 X", verb(1, 2, "iv", "it"), False),
    "scio": ("V 3 4 X", verb(1, 2, "iv", "it"), False),
    "imitor": ("V 1 1 DEP", deponent(2, 2, "at"), False),
    "uereor": ("V 2 1 DEP", deponent(3, 3, "it"), False),
    "sequor": ("V 3 1 DEP", deponent(2, 2, None), False),
    "patior": ("V 3 1 DEP", deponent(2, 3, None), False),
    "potior": ("V 3 4 DEP", deponent(2, 3, "it"), False),
    # irregular verbs: eo, fero, sum and their compounds, volo, nolo, malo
    "eo": ("V 6 1 X", compound("eo", ("e", "i", "iv", "it")), False),
    "fero": ("V 3 2 X", compound("fero", ("fer", "fer", "tul", "lat")), False),
    "sum": ("V 5 1 X", sum_compound, False),
    "absum": ("V 5 1 X", sum_compound, False),
    "uolo": ("V 6 2 X", compound("volo", ("vol", "vel", "volu", NO_STEM)), False),
    "nolo": ("V 6 2 X", compound("nolo", ("nol", "nol", "nolu", NO_STEM)), False),
    "malo": ("V 6 2 X", compound("malo", ("mal", "mal", "malu", NO_STEM)), False),
    # the commonest irregular words, each through its own stems
    "unus": ("ADJ 1 3 POS", adjective_1_positive, False),
    "alter": ("ADJ 1 2 POS", lambda c, r1, r2: (c, c) if c == "alter" else None, False),
    "multus": ("ADJ 1 1 X", fixed("mult", "mult", "plur", "pluri"), False),
    "duo": ("NUM 1 2 X 2", fixed("du", "secund", "bin", "bis"), False),
    "possum": ("V 5 2 X", fixed("poss", "pot", "potu", NO_STEM), False),
    "prosum": ("V 5 1 X", sum_compound, False),
    "morior": ("V 3 1 DEP", fixed("mori", "mor", NO_STEM, "mortu"), False),
    "do": ("V 1 1 TRANS", fixed("d", "d", "ded", "dat"), False),
    "fio": ("V 3 4 SEMIDEP", compound("fio", ("fi", "f", NO_STEM, "fact")), False),
    "aio": ("V 3 4 X", fixed("ai", "a", NO_STEM, NO_STEM), False),
    "nemo": ("N 3 1 C X", fixed("nemo", "nemin"), False),
    "nihil": ("N 9 9 N X", whole_word, False),
    "uis": ("N 3 3 F X", fixed("vis", "vir"), False),
    "plerique": ("ADJ 1 1 POS", lambda c, r1, r2: ("pler", "pler"), False),
    "licet": ("V 2 1 IMPERS", impersonal, False),
    "deterior": ("ADJ 3 1 COMP", comparative_only, False),
    # third-declension nouns with the nominative given apart
    "dos": ("N 3 1 {g} X", noun_nominative(0), True),
    "apis": ("N 3 3 {g} X", noun_nominative(2), True),
    "aer": ("N 3 1 {g} X", noun_nominative(0), True),
    "thales": ("N 3 1 M X", noun_nominative(2), False),
    # Greek names and -os nouns, in their Latin forms
    "delos": ("N 2 6 {g} X", cut_add(2), True),
    "virus": ("N 2 2 N X", noun_same("us"), False),
    "artios": ("ADJ 1 1 POS", cut_add(2), False),
    "cybele": ("N 1 6 F X", cut_add(1), False),
    "aeneas": ("N 1 8 M X", cut_add(2), False),
    "perseus": ("N 2 1 M X", cut_add(2), False),
    "ilion": ("N 2 8 N X", cut_add(2), False),
    "jesus": ("N 4 1 M X", noun_same("us"), False),
    # adverbs that the lexicon inflects only for comparison
    "adve": ("ADV POS", whole_word, False),
    "advr": ("ADV POS", whole_word, False),
    "adv": ("ADV POS", whole_word, False),
    "misere": ("ADV POS", whole_word, False),
    "fortiter": ("ADV POS", whole_word, False),
    "acriter": ("ADV POS", whole_word, False),
    "humiliter": ("ADV POS", whole_word, False),
    "facile": ("ADV POS", whole_word, False),
}

# A lemma that does not fit its model's rule is tried with another.
FALLBACK = {"fortis": "infans", "doctus": "miser"}

# Invariable words: the part of speech from the lexicon's note.
INVARIABLE = [
    (re.compile(r"^(adj\. )?num"), "NUM 2 0 CARD 0"),
    (re.compile(r"^(adj\.|indecl\. adj|d[ée]t\.)"), "ADJ 9 9 POS"),
    (re.compile(r"^(indecl\.|n\.|subst)"), "N 9 9 N X"),
    (re.compile(r"^(v\.|vb\.)"), "V 9 9 X"),
    (re.compile(r"^pr[eé]p\. \+ acc"), "PREP ACC"),
    (re.compile(r"^pr[eé]p\. \+ abl"), "PREP ABL"),
    (re.compile(r"^conj"), "CONJ"),
    (re.compile(r"^(interj|excl)"), "INTERJ"),
    (re.compile(r"^adv"), "ADV POS"),
]


def code_field(code):
    """The part of speech padded to 7 columns, then its codes, 23 wide."""
    pos, _, rest = code.partition(" ")
    return (pos.ljust(7) + rest).ljust(23)[:23]


def line_of(stems, code, meaning):
    fields = [(s or "").ljust(STEM_WIDTH)[:STEM_WIDTH] for s in (list(stems) + ["", "", "", ""])[:4]]
    # At least 111 characters: a shorter line is no entry.
    return " ".join(fields) + " " + code_field(code) + " " + FURTHER_CODES.ljust(9) + " " + (meaning or " ")


# What convert() made: the lines, the lemmas skipped by reason, the count of
# lemmas of each model, the lemmas without English and the lemmas written.
Conversion = collections.namedtuple("Conversion", "lines skipped models unexplained converted")


def read_meanings(path):
    meanings = {}
    for raw in open(path, encoding="utf-8"):
        if raw.startswith("!") or ":" not in raw:
            continue
        key, text = raw.rstrip("\n").split(":", 1)
        meanings[key] = text
    return meanings


def convert(directory):
    meanings = read_meanings(os.path.join(directory, "lemmes.en"))
    lines, skipped, models = [], collections.Counter(), collections.Counter()
    unexplained = 0
    converted = 0       # lemmas written: one line each, an invariable word one per spelling
    for raw in open(os.path.join(directory, "lemmes.la"), encoding="utf-8"):
        if raw.startswith("!") or "|" not in raw:
            continue
        fields = raw.rstrip("\n").split("|")
        if len(fields) < 5:
            skipped["malformed line"] += 1
            continue
        head, model, info = fields[0].split("=")[0], fields[1], fields[4]
        frequency = int(fields[5]) if len(fields) > 5 and fields[5].strip().isdigit() else 0
        models[model] += 1
        key = ascii_text(head)
        if key is None:
            skipped["letters outside Latin"] += 1
            continue
        lemma = re.sub(r"\d", "", key)
        r1 = first_radical(fields[2])
        r2 = first_radical(fields[3])
        # A lemma the English file lacks is still analysed; its meaning stays blank.
        meaning = plain_meaning(meanings.get(key, meanings.get(lemma, "")))
        if not meaning:
            unexplained += 1
        if model == "inv":
            code = next((c for pattern, c in INVARIABLE if pattern.search(info.strip())), None)
            if code is None:
                skipped["invariable word of another kind"] += 1
                continue
            # "a=a,ab,abs": every spelling of an invariable word is a word of its own.
            spellings = [ascii_text(f) for f in fields[0].split("=", 1)[-1].split(",")]
            for spelling in dict.fromkeys([lemma] + [re.sub(r"\d", "", f) for f in spellings if f]):
                lines.append((frequency, line_of((spelling,), code, meaning)))
            converted += 1
            continue
        elif model in MODELS:
            code, rule, gendered = MODELS[model]
            stems = rule(lemma, r1, r2)
            if stems is None and model in FALLBACK:
                # misericors is filed under fortis: an adjective of one ending.
                code, rule, gendered = MODELS[FALLBACK[model]]
                stems = rule(lemma, r1, r2)
            if stems is None:
                skipped["lemma does not fit its model"] += 1
                continue
            if gendered:
                code = code.format(g=gender(info))
        else:
            skipped["model not mapped"] += 1
            continue
        if any(len(s) > STEM_WIDTH or " " in s for s in stems):
            skipped["stem too long"] += 1
            continue
        lines.append((frequency, line_of(stems, code, meaning)))
        converted += 1
    # The commoner lemma first: of two entries with the same stem the
    # analyser lists the one stored first (the stem index keeps equal stems
    # in the order of their articles), so "primis" reads primus before the
    # rarer noun primum.
    lines.sort(key=lambda item: -item[0])
    return Conversion([line for _, line in lines], skipped, models, unexplained, converted)


def supplement_lines(path):
    """The pronoun lines of the project's own word list: the lexicon gives
    its pronouns irregular models of its own, which are not mapped."""
    lines = []
    for line in open(path, encoding="latin-1"):
        line = line.rstrip("\r\n")
        if len(line) > 110 and line[76:83].rstrip() in ("PRON", "PACK"):
            lines.append(line)
    return lines


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--collatinus", default="/usr/share/collatinus/data")
    parser.add_argument("--out", required=True)
    parser.add_argument("--report")
    parser.add_argument("--pronouns", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                                             "latin", "data", "words.txt"),
                        help="a word list whose PRON and PACK lines are added")
    args = parser.parse_args()
    if not os.path.exists(os.path.join(args.collatinus, "lemmes.la")):
        print("collatinus_wordlist: no lexicon in %s" % args.collatinus, file=sys.stderr)
        return 1
    conversion = convert(args.collatinus)
    skipped, models = conversion.skipped, conversion.models
    pronouns = supplement_lines(args.pronouns) if os.path.exists(args.pronouns) else []
    lines = conversion.lines + pronouns
    with open(args.out, "w", encoding="ascii", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    report = ["lemmas written %d as %d lines (%d without an English meaning), %d pronoun lines of %s" %
              (conversion.converted, len(conversion.lines), conversion.unexplained, len(pronouns), args.pronouns)]
    report += ["skipped %d: %s" % (n, reason) for reason, n in skipped.most_common()]
    unmapped = [(model, n) for model, n in models.most_common() if model != "inv" and model not in MODELS]
    report.append("models not mapped %d, holding %d of the lexicon's %d lemmas: %s" %
                  (len(unmapped), sum(n for _, n in unmapped), sum(models.values()),
                   ", ".join("%s %d" % item for item in unmapped)))
    for model, n in models.most_common():
        mapped = "inv" if model == "inv" else MODELS[model][0] if model in MODELS else "not mapped"
        report.append("model %s %d: %s" % (model, n, mapped))
    text = "\n".join(report) + "\n"
    if args.report:
        open(args.report, "w", encoding="utf-8").write(text)
    else:
        sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
