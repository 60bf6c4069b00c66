#!/usr/bin/env python3
"""Converts Debian's collatinus lexicon into the analyser's fixed-column Latin
word list, so that a user has a real Latin dictionary: each lemma of
lemmes.la with its paradigm model becomes one line with the four stems, the
part of speech and inflection codes, and the English meaning of lemmes.en.
The lemmas of the lexicon's extension (lem_ext.la) that have English and
take no form of lemmes.la follow (lexicon_lines).

  collatinus_wordlist.py --collatinus DIR --out FILE [--report FILE]

Line layout (columns from 1): stems at 1, 20, 39 and 58 (18 wide); the code
field at 77 (23 wide); further codes at 101; the meaning from 111.

The pronouns come from the project's own word list (--pronouns), whose PRON
and PACK lines are added. Lines are written commonest lemma first (the
lexicon's frequency; a pronoun line by its lemma's), so that of readings
the analyser scores alike it names the commoner first. A rare lemma that
would only shadow a far commoner one is left out: an invariable word whose
form another lemma makes a hundred times as often, a lemma without English
that shares a stem with one a hundred times commoner. Each model the lexicon uses is either mapped by
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
import html.entities
import os
import re
import sys
import unicodedata

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import collatinus_forms  # noqa: E402  (every form of the lexicon, for the homographs)

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
    if re.fullmatch(r'\s*"?\s*(Err :\d+|#NOM \?|[Cc]omp\.|sup\.)\s*"?\s*', text):
        return ""       # the lexicon's placeholders for a missing meaning (maxime's "Comp.")
    text = html.unescape(text)
    # The lexicon cuts some meanings inside an entity ("din&mdash"): read it
    # without its semicolon too, drop one it does not name.
    text = re.sub(r"&([A-Za-z]+);?", lambda m: html.entities.html5.get(m.group(1) + ";", ""), text)
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
    # A stray mark the lexicon left where a meaning belongs ("e`", "S.", "f")
    # says nothing; a number ("38") does.
    return text if re.search(r"[A-Za-z]{2}|\d", text) else ""


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


def plural_nominative(ending):
    """moenia, Manes, opes, liberi (plural only): the lemma is the
    first stem, the only one the dictionary form names (the noun kind M
    keeps it from being read as a singular), the oblique stem the second."""
    return lambda c, r1, r2: (c, r1 or c[:-len(ending)]) if ends(c, ending) else None


def perfect_only(c, r1, r2):
    """memini, odi, coepio: no present system; the perfect stem is the
    lexicon's radical (or the lemma less its -i), the supine the second."""
    if not (ends(c, "i") or r1):
        return None
    return (NO_STEM, NO_STEM, r1 or c[:-1], r2 or NO_STEM)


def noun_nominative(oblique_cut, oblique_add=""):
    """Third declension and -er nouns: the nominative itself, then the
    oblique stem given by the lexicon or made from the nominative."""
    def rule(c, r1, r2):
        oblique = r1 or (c[:-oblique_cut] + oblique_add if oblique_cut else c + oblique_add)
        return (c, oblique) if oblique else None
    return rule


def adjective(ending, superlative="issi", comparative_given=True):
    """doctus, fortis, facilis: the lemma less its last two letters serves
    the positive; the comparative adds i, the superlative its own letters,
    unless the lexicon gives their radicals (bonus: meli-, optim-; the
    superlative stem is the radical without its m: optimus = opti + mus).
    The fortis and facilis models give the oblique stem as their first
    radical (grav-), never the comparative: gravi-or, facili-us."""
    def rule(c, r1, r2):
        if not ends(c, ending):
            return None
        s = c[:-2]
        superlative_stem = r2[:-1] if r2.endswith("m") else s + superlative
        comparative = r1 if r1 and comparative_given else s + "i"
        return (s, s, comparative, superlative_stem)
    return rule


# Adjectives that are not compared: words of quantity and order, and those
# that are themselves a superlative (summus, proximus, maxumus) or a name's
# (Romanus); the lexicon marks some with "-" for the missing stem (noster,
# vester, solus). Adjectives in -eus, -ius, -uus compare with magis and
# maxime, not by their endings.
UNCOMPARED = {"omnis", "cunctus", "universus", "ceterus", "ceteri", "reliquus", "totus", "solus", "nullus",
              "ullus", "nonnullus", "plerus", "aliquantus", "octavus", "medius", "noster", "vester", "meus", "tuus",
              "suus", "alius", "alter"}


def compared(lemma, fields):
    """Whether an adjective of a compared model has a comparative and a
    superlative of its own."""
    if lemma in UNCOMPARED or lemma[:1].isupper() or "-" in (fields[2].strip(), fields[3].strip()):
        return False
    if re.search(r"(imus|emus|umus)$", lemma):
        return False
    return not re.search(r"[eiu]us$", lemma) or re.search(r"[qg]uus$", lemma) is not None


# Adverbs that are themselves superlatives: no degree beyond them.
SUPERLATIVE_ADVERBS = {"maxime", "optime", "minime", "pessime", "plurime", "proxime", "summe", "extreme",
                       "postreme", "ultime", "intime", "infime", "maxume", "optume", "minume", "pessume", "proxume"}


def superlative_adverb(lemma):
    return lemma in SUPERLATIVE_ADVERBS or re.search(r"(issime|errime|illime)$", lemma) is not None


def further_superlatives(code, field):
    """The superlative stems beyond the first that an adjective's radical
    list gives (bonus: optim, optum; magnus: maxim, maxum), each read by a
    superlative line of its own: optumus, maxume, the older spellings."""
    if not code.startswith("ADJ ") or not code.endswith(" X"):
        return []
    first = first_radical(field)
    radicals = [r for r in (ascii_text(f) for f in field.split(",")) if r]
    return [(r[:-1],) for r in radicals if r != first and r.endswith("m")]


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


def compared_adverb(cut, comparative, superlative):
    """saepe, saepius, saepissime; fortiter, fortius, fortissime: the
    positive, comparative and superlative, each a stem of its own."""
    return lambda c, r1, r2: (c, c[:-cut] + comparative, c[:-cut] + superlative) if len(c) > cut else None


def er_adjective(c, r1, r2):
    """uter, utra, utrum; neuter, neutra, neutrum: the nominative, then the
    stem without its e."""
    return (c, c[:-2] + "r") if ends(c, "er") else None


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
    "epulae": ("N 1 1 {g} M", noun_same("ae"), True),
    "cometes": ("N 1 7 M X", noun_same("es"), False),
    # second declension
    "lupus": ("N 2 1 {g} X", noun_same("us"), True),
    "deus": ("N 2 1 M X", noun_same("us"), False),
    "filius": ("N 2 4 {g} X", noun_same("us"), True),
    "puer": ("N 2 3 {g} X", noun_nominative(0), True),
    "ager": ("N 2 3 {g} X", noun_nominative(2, "r"), True),
    "templum": ("N 2 2 N X", noun_same("um"), False),
    # named by the plural too: the -r variant's form is the first stem as it
    # stands (liberi, liberi; Graeci, Graeci)
    "liberi": ("N 2 3 {g} M", plural_nominative("i"), True),
    "castra": ("N 2 2 N M", noun_same("a"), False),
    # third declension
    "miles": ("N 3 1 {g} X", noun_nominative(0), True),
    "honor": ("N 3 1 {g} X", noun_nominative(0), True),
    "ciuis": ("N 3 3 {g} X", noun_nominative(2), True),
    "nauis": ("N 3 3 F X", noun_nominative(2), False),
    "turris": ("N 3 3 F X", noun_nominative(2), False),
    "corpus": ("N 3 2 N X", noun_nominative(0), False),
    "mare": ("N 3 3 N X", noun_nominative(1), False),
    "animal": ("N 3 3 N X", noun_nominative(0), False),
    "moenia": ("N 3 3 N M", plural_nominative("ia"), False),
    "manes": ("N 3 3 {g} M", plural_nominative("es"), True),
    "opes": ("N 3 1 {g} M", plural_nominative("es"), True),
    # fourth and fifth declensions
    "manus": ("N 4 1 {g} X", noun_same("us"), True),
    "lacus": ("N 4 1 M X", noun_same("us"), False),
    "acus": ("N 4 1 F X", noun_same("us"), False),
    "domus": ("N 4 4 F X", noun_same("us"), False),     # with domo, domi, domos, domorum
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
    "fortis": ("ADJ 3 2 X", adjective("is", comparative_given=False), False),
    "facilis": ("ADJ 3 2 X", adjective("ilis", "li", comparative_given=False), False),
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
    "alius": ("ADJ 1 5 POS", adjective_1_positive, False),
    "alter": ("ADJ 1 4 POS", lambda c, r1, r2: (c, c) if c == "alter" else None, False),
    # multus has no comparative of its own stem: plus, pluris is a word of
    # its own (the lexicon's model plus), read as an adjective of one ending.
    "multus": ("ADJ 1 1 X", fixed("mult", "mult", NO_STEM, "pluri"), False),
    "plus": ("ADJ 3 1 POS", fixed("plus", "plur"), False),
    "duo": ("NUM 1 2 X 2", fixed("du", "secund", "bin", "bis"), False),
    "tres": ("NUM 1 3 X 3", fixed("tr", "terti", "tern", "ter"), False),
    "possum": ("V 5 2 X", fixed("poss", "pot", "potu", NO_STEM), False),
    "prosum": ("V 5 1 X", sum_compound, False),
    "morior": ("V 3 1 DEP", fixed("mori", "mor", NO_STEM, "mortu"), False),
    "do": ("V 1 1 TRANS", fixed("d", "d", "ded", "dat"), False),
    "fio": ("V 3 3 SEMIDEP", compound("fio", ("fi", "fi", NO_STEM, "fact")), False),
    "aio": ("V 3 4 X", fixed("ai", "a", NO_STEM, NO_STEM), False),
    "nemo": ("N 3 1 C X", fixed("nemo", "nemin"), False),
    "nihil": ("N 9 9 N X", whole_word, False),
    # plerique is declined with -que behind its endings (pleraque, plerisque),
    # a declension of its own, so that its line is not plerus's, whose name it would take.
    "plerique": ("ADJ 4 1 POS", fixed("pler", "pler"), False),
    "licet": ("V 2 1 IMPERS", impersonal, False),
    "deterior": ("ADJ 3 1 COMP", comparative_only, False),
    # third-declension nouns with the nominative given apart
    "dos": ("N 3 1 {g} X", noun_nominative(0), True),
    "apis": ("N 3 3 {g} X", noun_nominative(2), True),
    # verbs filed under a present model whose lemma is a perfect (model_of)
    "perfect_only": ("V 3 0 PERFDEF", perfect_only, False),
    "aer": ("N 3 1 {g} X", noun_nominative(0), True),
    "thales": ("N 3 1 M X", noun_nominative(2), False),
    # Greek names and -os nouns, in their Latin forms
    "delos": ("N 2 6 {g} X", cut_add(2), True),
    "virus": ("N 2 1 N X", noun_same("us"), False),
    "artios": ("ADJ 1 1 POS", cut_add(2), False),
    "cybele": ("N 1 6 F X", cut_add(1), False),
    "aeneas": ("N 1 8 M X", cut_add(2), False),
    "perseus": ("N 2 1 M X", cut_add(2), False),
    "ilion": ("N 2 8 N X", cut_add(2), False),
    "jesus": ("N 4 1 M X", noun_same("us"), False),
    # undeclined names: Abraham, Isaac, and the praenomina C., Cn., M., T.
    "isaac": ("N 9 9 M X", whole_word, False),
    # adverbs that the lexicon inflects only for comparison
    "adve": ("ADV X", compared_adverb(1, "ius", "issime"), False),
    "advr": ("ADV X", compared_adverb(2, "ius", "issime"), False),
    "adv": ("ADV POS", whole_word, False),
    "misere": ("ADV X", compared_adverb(3, "erius", "errime"), False),
    "fortiter": ("ADV X", compared_adverb(4, "ius", "issime"), False),
    "acriter": ("ADV X", compared_adverb(5, "rius", "errime"), False),
    "humiliter": ("ADV X", compared_adverb(6, "ilius", "illime"), False),
    "facile": ("ADV X", compared_adverb(3, "ilius", "illime"), False),
    # uter, neuter: the nominative as it stands, the rest on utr-, neutr-
    # (utrius, utri as alter's alterius, alteri)
    "uter": ("ADJ 1 4 POS", er_adjective, False),
    # ambo, ambae, ambo: declined as duo
    "ambo": ("NUM 1 2 CARD 0", lambda c, r1, r2: (c[:-1],) * 2 if ends(c, "o") else None, False),
}

# vis is two lines: the singular vis, vis (vim, vi) and the plural vires,
# virium, named by the plural as a plural-only noun.
VIS_LINES = ((("vis", "v"), "N 3 5 F X"), (("vires", "vir"), "N 3 3 F M"))
# Forms on a stem no model line holds, each an entry of that stem alone that
# the analyser names by its lemma: the present of volo and malo (vis, vult,
# vultis; mavis, mavult) and the plural of deus on d- (di, dii, dis, diis).
SHORT_STEM_LINES = {("uolo", "volo"): (("v", NO_STEM, NO_STEM, NO_STEM), "V 6 3 X"),
                    ("malo", "malo"): (("mav", NO_STEM, NO_STEM, NO_STEM), "V 6 3 X"),
                    ("deus", "deus"): (("d", NO_STEM), "N 2 9 M X")}
# mille is an indeclinable numeral in the singular and a plural-only noun of
# the third declension in the plural (milia, milium, milibus; millia).
MILLE_LINES = ((("mille",), "NUM 2 0 CARD 1000"), (("milia", "mil"), "N 3 3 N M"), (("millia", "mill"), "N 3 3 N M"))
# Invariable adverbs the lexicon compares apart (diutius in its irregular forms).
COMPARED_INVARIABLES = {"diu": ("diu", "diutius", "diutissime")}

# A lemma that does not fit its model's rule is tried with another.
FALLBACK = {"fortis": "infans", "doctus": "miser"}

# Invariable words: the part of speech is the first one the lexicon's note
# names, wherever it stands ("(seu) conj.", "prép. et adv.", "ou here,
# adv."); a preposition takes the first case named after it (the ablative
# when none is). An abbreviation (P., Tib., Sex. for Sextus) is read as an
# undeclined noun; contractions are left out: they stand for two words.
LEFT_OUT_NOTES = [(re.compile(r"\bcontr|\bcontract"), "contraction of two words")]
ABBREVIATION_NOTE = re.compile(r"\babr|\babrév|^[A-Z]\.$|^cf\. [A-Z]")
PART_OF_SPEECH_CUES = [
    (re.compile(r"pr[eé]p\.|(^|\s)\+\s?(acc|abl|g[ée]n)"), "PREP"),
    (re.compile(r"\bconj|\+ subj|\bsuj\."), "CONJ"),
    (re.compile(r"\badv\b|\binterr\.|\brel\.$|\bcomp(aratif)?\b"), "ADV POS"),
    (re.compile(r"\binterj|\bexcl|\bsuivi du nom"), "INTERJ"),
    (re.compile(r"\bvb?\.|\binf\.|\bsubj\.|\bp\. s\. de|\birr[ée]g|\bsupin|\bfut\. ant|\bite \+ inf"), "V 9 9 X"),
    (re.compile(r"\badj\.|\bd[ée]t\.|^pron\.$"), "ADJ 9 9 POS"),
    (re.compile(r"\bindecl|\bind[ée]cl|\bsubst|\bnpr\b|(^|\s)[mfn]\.|\(grec\)|\bgr\.$|^us$"), "N 9 9 N X"),
]
CASE_CUES = [(re.compile(r"\bacc", re.I), "ACC"), (re.compile(r"\babl", re.I), "ABL"),
             (re.compile(r"\bg[ée]n", re.I), "GEN")]
# A pronoun with cum grown onto it, which the lexicon files as a word of its
# own: read whole, as the phrase it is (its English for secum is sebum's).
CUM_CONTRACTIONS = {"tecum": "with you (sing.);", "secum": "with oneself; with himself, herself, themselves;",
                    "vobiscum": "with you (pl.);", "quicum": "with whom; with which;",
                    "quibuscum": "with whom; with which (pl.);"}
# Notes that name no part of speech: the word's own.
INVARIABLE_LEMMAS = {"utrum": "CONJ", "Q": "N 9 9 M X", "nil": "N 9 9 N X", "ecquando": "ADV POS", "quantum": "ADV POS",
                     "faxo": "V 9 9 X", "siem": "V 9 9 X", "siet": "V 9 9 X", "mavelis": "V 9 9 X"}


def invariable_codes(lemma, info):
    """The code fields of an invariable word (one line each) and None, or
    None and the reason it is left out. A preposition gets a line for every
    case its note names after it ("prép. + acc. ou + abl.": in, sub, super
    take the accusative and the ablative), in the note's order."""
    if lemma in INVARIABLE_LEMMAS:
        return [INVARIABLE_LEMMAS[lemma]], None
    note = info.strip()
    if re.search(r"\bnum", note):
        return ["NUM 2 0 CARD 0"], None     # "adj. num.", "num. abrév." (L)
    for pattern, reason in LEFT_OUT_NOTES:
        if pattern.search(note):
            return None, reason
    if ABBREVIATION_NOTE.search(note):
        return ["N 9 9 M X"], None
    found = [(m.start(), code) for pattern, code in PART_OF_SPEECH_CUES for m in [pattern.search(note)] if m]
    if not found:
        return None, "invariable word whose note names no part of speech"
    at, code = min(found)
    if code == "PREP":
        cases = sorted((m.start(), case) for pattern, case in CASE_CUES for m in [pattern.search(note, at)] if m)
        return ["PREP " + case for _, case in cases] or ["PREP ABL"], None
    return [code], None


def code_field(code):
    """The part of speech padded to 7 columns, then its codes, 23 wide."""
    pos, _, rest = code.partition(" ")
    return (pos.ljust(7) + rest).ljust(23)[:23]


def line_of(stems, code, meaning):
    fields = [(s or "").ljust(STEM_WIDTH)[:STEM_WIDTH] for s in (list(stems) + ["", "", "", ""])[:4]]
    # At least 111 characters: a shorter line is no entry.
    return " ".join(fields) + " " + code_field(code) + " " + FURTHER_CODES.ljust(9) + " " + (meaning or " ")


# What convert() made: the lines with their lexicon frequencies, the lemmas
# skipped by reason, the count of lemmas of each model, the lemmas without
# English, the lemmas written, every lemma left out with its reason, and the
# frequency of each lemma (the highest of its homonyms).
Conversion = collections.namedtuple("Conversion", "ranked skipped models unexplained converted left_out frequencies")
# One line made: its lemma's frequency, the lemma, the line, its stems,
# whether it has English, and the number of the lemma's lexicon entry.
Made = collections.namedtuple("Made", "frequency lemma line stems explained entry")

# A lemma that carries another's forms takes its frequency: plus, pluris is
# multus's comparative.
FREQUENCY_OF = {"plus": "multus"}
# A lemma the English file lacks takes the meaning of the lemma it is a form
# or a spelling of (a note's "cf. X" does the same).
MEANING_OF = {"nihil": "nihilum", "nil": "nihilum", "inquit": "inquam", "inquis": "inquam", "inquiunt": "inquam",
              "inquisti": "inquam", "noli": "nolo", "nolite": "nolo", "servos": "servus", "mereo": "mereor",
              "cotidianus": "quotidianus", "binus": "bini", "jussus": "jussum", "forsitan": "fortasse",
              "Romani": "Romanus", "multi": "multus",
              # adverbs and forms whose English is the placeholder "Comp."
              "saeve": "saevus", "stolide": "stolidus", "tepide": "tepidus", "verecunde": "verecundus",
              "liquido": "liquidus", "tenaciter": "tenax", "contumaciter": "contumax", "rubens": "rubeo",
              "inferi": "inferus", "spurcatus": "spurco"}
# A lemma without English and this rare in the lexicon is left out when it
# shares a stem with a lemma SHADOW_RATIO times commoner: it would only
# shadow that word's reading (pluris before plus in "plures").
RARE_FREQUENCY = 5
SHADOW_RATIO = 100
# Invariable words whose form the commoner lemma's line does not make here
# (the locative domi, nolo's imperative, the archaic illoc): kept.
MADE_ONLY_BY_ITSELF = {"domi", "nolite", "illoc", "memento", "mementote"}
# Forms a verb's stems do not make, each written as a word of its own under
# the verb's lemma: memini's imperative (memento mori).
OWN_FORMS = {"memini": ("memento", "mementote")}
VERB_MODELS = {model for model, (code, _, _) in MODELS.items() if code.startswith("V ")}
# Verbs the lexicon names by an early present that is used only in the
# perfect system: they are named by the perfect (coepi, coepisse, coeptus).
PERFECT_ONLY = {"coepio"}


def read_meanings(path):
    meanings = {}
    for raw in open(path, encoding="utf-8"):
        if raw.startswith("!") or ":" not in raw:
            continue
        key, text = raw.rstrip("\n").split(":", 1)
        meanings[key] = text
    return meanings


def model_of(model, lemma, info):
    """The MODELS key of a lemma: its lexicon model, or a variant the lemma
    or its note asks for."""
    if model == "unus" and info.strip().startswith("a, ud"):
        return "alius"          # alius, alia, aliud
    if lemma in ("ambo", "tres"):
        return lemma            # filed under deni and fortis, whose rules do not make them
    if model in VERB_MODELS and (lemma in PERFECT_ONLY or lemma.endswith("i") and not lemma.endswith("ei")):
        return "perfect_only"   # memini, odi: the lexicon files them under a present model
    return model


# Lemmas the English file lacks and that name no other lemma (among them the
# commonest words of any text: si, sic, quo, simul).
OWN_MEANINGS = {
    "ambo": "both (of two), the two together;", "si": "if; whether;",
    "sic": "thus, so, in this way; (sic ... ut) so ... that;",
    "quo": "where, whither; to the end that, so that; (w/ a comparative) the more;",
    "simul": "at the same time, together; (simul ac, simul atque) as soon as;",
    "quondam": "once, formerly; at times; some day;", "ultro": "beyond, further; of one's own accord, unasked;",
    "nonne": "not? (a question expecting the answer yes);", "tanto": "by so much, so much the (more);",
    "quot": "how many; as many as;", "honeste": "honourably, decently;", "salvos": "safe, unharmed, well;",
    "apertus": "open, uncovered; plain, frank;", "occultus": "hidden, secret;",
    "adgredior": "to approach; to attack; to undertake;", "insequor": "to follow, pursue;",
    "bonum": "a good thing, advantage; (pl.) goods, property;", "suum": "one's own (property);",
    "solidus": "solid, whole, firm;", "liquidus": "liquid, flowing; clear;", "praestans": "outstanding, excellent;",
    "reliquiae": "remains, remnants;",
    "maxime": "most, most of all, especially; very; (w/ adjectives) most ...;"}


def meaning_of(meanings, key, lemma, info):
    # A placeholder ("Err :509") is no meaning: the reference's is taken.
    text = plain_meaning(meanings.get(key, meanings.get(lemma, "")))
    reference = MEANING_OF.get(lemma) or next(iter(re.findall(r"\bcf\. (\w+)", ascii_text(info) or "")), None)
    if not text and reference:
        text = plain_meaning(meanings.get(reference, ""))
    return text or OWN_MEANINGS.get(lemma, "")


def english_of_extension(directory):
    """The extended lexicon's English meanings, less those that are only its
    French meaning copied (it fills gaps so: asotus "dissolu")."""
    english = read_meanings(os.path.join(directory, "lem_ext.en"))
    french = read_meanings(os.path.join(directory, "lem_ext.fr")) if \
        os.path.exists(os.path.join(directory, "lem_ext.fr")) else {}
    return {key: text for key, text in english.items() if text != french.get(key)}


# Every ending the analyser may put on a stem: an extended lemma that
# would make a form of lemmes.la with any of them (scholares, "the guard",
# would read scholarum) is left out.
ANY_ENDING = ("", "a", "ae", "am", "arum", "as", "is", "e", "em", "es", "ebus", "ei", "i", "ia", "ibus", "ium", "o",
              "orum", "os", "u", "ua", "ui", "um", "us", "uum", "ior", "ius", "ioris", "iores", "o", "as", "at",
              "amus", "atis", "ant", "are", "abam", "abat", "avi", "avit", "atus", "eo", "et", "ent", "ere", "it",
              "unt", "ite", "imus", "iunt", "isse", "erat", "erunt")


def makes_lexicon_form(stems, known_forms, prefixes):
    """Whether a stem with any ending spells a form of lemmes.la, either as
    it stands or with its prefix assimilated or not (aggredio would read
    aggrediar, the lexicon's adgredior)."""
    for stem in stems:
        if stem == NO_STEM:
            continue
        spellings = {collatinus_forms.plain(stem)}
        for plain_prefix, assimilated in prefixes:
            for a, b in ((plain_prefix, assimilated), (assimilated, plain_prefix)):
                spellings |= {b + spelling[len(a):] for spelling in list(spellings) if spelling.startswith(a)}
        if any(spelling + ending in known_forms for spelling in spellings for ending in ANY_ENDING):
            return True
    return False


def assimilated_prefixes(directory):
    """The lexicon's prefix assimilations (adg:agg), plain."""
    path = os.path.join(directory, "assimilations.la")
    if not os.path.exists(path):
        return []
    pairs = [line.strip().split(":") for line in open(path, encoding="utf-8") if ":" in line and not line.startswith("!")]
    return [(collatinus_forms.plain(a), collatinus_forms.plain(b)) for a, b in pairs]


def lexicon_lines(directory, meanings):
    """(line, meanings) of every lemma to convert: those of lemmes.la, then
    those of the extended lexicon (lem_ext.la: Church and late Latin,
    rare words, names) that lemmes.la lacks, that have an English meaning,
    and none of whose forms lemmes.la makes, so that no word the lexicon
    reads gains a reading."""
    main_lemmas = set()
    for raw in open(os.path.join(directory, "lemmes.la"), encoding="utf-8"):
        if raw.startswith("!") or "|" not in raw:
            continue
        main_lemmas.add(collatinus_forms.plain(raw.split("|")[0].split("=")[0]))
        yield raw, meanings
    extension = os.path.join(directory, "lem_ext.la")
    if not os.path.exists(extension):
        return
    english = english_of_extension(directory)
    known_forms = collatinus_forms.lemmas_by_form(directory)
    models = collatinus_forms.read_models(os.path.join(directory, "modeles.la"))
    for raw in open(extension, encoding="utf-8"):
        fields = raw.rstrip("\n").split("|")
        if raw.startswith("!") or len(fields) < 5:
            continue
        key = ascii_text(fields[0].split("=")[0])
        if not re.fullmatch(r"[A-Za-z]+\d*", key or "") or collatinus_forms.plain(key) in main_lemmas or not plain_meaning(english.get(key, "")):
            continue
        forms = collatinus_forms.forms_of_entry(fields, models)
        if forms and not forms & known_forms.keys():
            yield raw, english


def convert(directory):
    meanings = read_meanings(os.path.join(directory, "lemmes.en"))
    known_forms = collatinus_forms.lemmas_by_form(directory)
    prefixes = assimilated_prefixes(directory)
    ranked, skipped, models = [], collections.Counter(), collections.Counter()
    left_out, frequencies = [], {}
    unexplained = 0
    converted = 0       # lemmas written: one line each, an invariable word one per spelling

    def leave_out(lemma, reason, detail=None):
        skipped[reason] += 1
        left_out.append((lemma, detail or reason))

    for raw, lemma_meanings in lexicon_lines(directory, meanings):
        fields = raw.rstrip("\n").split("|")
        if len(fields) < 5:
            leave_out(fields[0], "malformed line")
            continue
        head, model, info = fields[0].split("=")[0], fields[1], fields[4]
        frequency = int(fields[5]) if len(fields) > 5 and fields[5].strip().isdigit() else 0
        models[model] += 1
        key = ascii_text(head)
        if key is None:
            leave_out(head, "letters outside Latin")
            continue
        lemma = re.sub(r"\d", "", key)
        frequencies[lemma] = max(frequency, frequencies.get(lemma, 0))
        r1 = first_radical(fields[2])
        r2 = first_radical(fields[3])
        # A lemma the English file lacks is still analysed; its meaning stays blank.
        meaning = meaning_of(lemma_meanings, key, lemma, info)
        if model in ("mille", "uis") or lemma in COMPARED_INVARIABLES:
            lines = MILLE_LINES if model == "mille" else VIS_LINES if model == "uis" else \
                ((COMPARED_INVARIABLES[lemma], "ADV X"),)
            for stems, code in lines:
                ranked.append(Made(frequency, lemma, line_of(stems, code, meaning), stems, bool(meaning), converted))
            converted += 1
            unexplained += not meaning
            continue
        if lemma in CUM_CONTRACTIONS:
            ranked.append(Made(frequency, lemma, line_of((lemma,), "ADV POS", CUM_CONTRACTIONS[lemma]), (lemma,),
                               True, converted))
            converted += 1
            continue
        if model == "inv":
            codes, reason = invariable_codes(lemma, info)
            if codes is None:
                leave_out(lemma, reason)
                continue
            # "a=a,ab,abs": every spelling of an invariable word is a word of its own.
            spellings = [ascii_text(f) for f in fields[0].split("=", 1)[-1].split(",")]
            for spelling in dict.fromkeys([lemma] + [re.sub(r"\d", "", f) for f in spellings if f]):
                for code in codes:
                    ranked.append(Made(frequency, lemma, line_of((spelling,), code, meaning), (spelling,),
                                       bool(meaning), converted))
            converted += 1
            unexplained += not meaning
            continue
        model = model_of(model, lemma, info)
        if model not in MODELS:
            leave_out(lemma, "model not mapped", "model %s not mapped" % model)
            continue
        code, rule, gendered = MODELS[model]
        stems = rule(lemma, r1, r2)
        if stems is None and model in FALLBACK:
            # misericors is filed under fortis: an adjective of one ending.
            code, rule, gendered = MODELS[FALLBACK[model]]
            stems = rule(lemma, r1, r2)
        if stems is None:
            leave_out(lemma, "lemma does not fit its model", "does not fit its model %s" % model)
            continue
        if gendered:
            code = code.format(g=gender(info))
        if code.startswith("ADJ ") and code.endswith(" X") and not compared(lemma, fields):
            code, stems = code[:-1] + "POS", stems[:2]
        if code == "ADV X" and superlative_adverb(lemma):
            code, stems = "ADV SUPER", stems[:1]
        if any(len(s) > STEM_WIDTH or " " in s for s in stems):
            leave_out(lemma, "stem too long")
            continue
        if lemma_meanings is not meanings and makes_lexicon_form(stems, known_forms, prefixes):
            leave_out(lemma, "extended lemma whose stem makes a lexicon form")
            continue
        ranked.append(Made(frequency, lemma, line_of(stems, code, meaning), stems, bool(meaning), converted))
        if (model, lemma) in SHORT_STEM_LINES:
            short, short_code = SHORT_STEM_LINES[(model, lemma)]
            ranked.append(Made(frequency, lemma, line_of(short, short_code, meaning), short[:1], bool(meaning),
                               converted))
        for form in OWN_FORMS.get(lemma, ()):
            ranked.append(Made(frequency, lemma, line_of((form,), "V 9 9 X", meaning), (form,), bool(meaning),
                               converted))
        for superlative in further_superlatives(code, fields[3]):
            # The adjective's first stem stands second: the form names it
            # (magnus, maxumus -a -um); the analyser keys the first alone.
            named = superlative + (stems[0],)
            ranked.append(Made(frequency, lemma, line_of(named, "ADJ 1 1 SUPER", meaning), superlative,
                               bool(meaning), converted))
        converted += 1
        unexplained += not meaning
    ranked = [m._replace(frequency=max(m.frequency, frequencies.get(FREQUENCY_OF.get(m.lemma), 0))) for m in ranked]
    commonest = {}      # stem -> the highest frequency of a line holding it
    for f, _, _, stems, _, _ in ranked:
        for stem in stems:
            commonest[stem] = max(f, commonest.get(stem, 0))
    # A word of one form (an invariable word, an adverb) is only that form:
    # where another lemma makes it SHADOW_RATIO times as often, the word
    # would only shadow it (the adverbs qui, ea, illi before the pronouns,
    # whose empty dictionary form scores lowest), so that spelling is left out.
    lemmas_of_form = collatinus_forms.lemmas_by_form(directory)
    by_plain = {}
    for lemma, f in frequencies.items():
        by_plain[collatinus_forms.plain(lemma)] = max(f, by_plain.get(collatinus_forms.plain(lemma), 0))
    plain = collatinus_forms.plain
    # The lemmas the word list reads: those written, and the pronouns of the
    # project's own lines.
    readable = {plain(m.lemma) for m in ranked} - {plain(lemma) for lemma, _ in left_out}
    pronoun_names = {plain(lemma) for lemma in list(PRONOUN_LEMMAS.values()) + list(PACKON_LEMMAS.values())}
    readable |= pronoun_names
    kept, dropped, lines_kept = [], {}, collections.Counter()
    for f, lemma, line, stems, explained, entry in ranked:
        shadowed = [s for s in stems if s != NO_STEM and commonest.get(s, 0) >= max(SHADOW_RATIO * max(f, 1), 200)]
        if not explained and f <= RARE_FREQUENCY and shadowed:
            dropped.setdefault(entry, []).append((lemma, "rare homograph without meaning",
                                                  "rare homograph without meaning of stem %s" % shadowed[0], explained))
            continue
        if len(stems) == 1 and stems[0] not in MADE_ONLY_BY_ITSELF:
            # A pronoun of the word's own name counts too (qui the pronoun
            # beside qui the adverb): the name's frequency is its commonest.
            makers = lemmas_of_form.get(plain(stems[0]), set())
            others = makers & readable - {plain(lemma)}
            if collatinus_forms.PRONOUN in makers:
                others |= makers & pronoun_names
            commoner = max(others, key=lambda other: by_plain.get(other, 0), default=None)
            if commoner and by_plain.get(commoner, 0) >= max(SHADOW_RATIO * max(f, 1), 200):
                dropped.setdefault(entry, []).append((lemma, "rare invariable homograph", "rare invariable homograph "
                                                      "of %s (%s)" % (commoner, stems[0]), explained))
                continue
        lines_kept[entry] += 1
        kept.append((f, line))
    for entry, reasons in sorted(dropped.items()):
        left_out.extend((lemma, detail) for lemma, _, detail, _ in reasons)
        if not lines_kept[entry]:     # none of its lines (spellings) is left
            skipped[reasons[0][1]] += 1
            converted -= 1
            unexplained -= not reasons[0][3]
    ranked = kept
    return Conversion(ranked, skipped, models, unexplained, converted, left_out, frequencies)


# The lexicon lemma of each pronoun line of the project's word list (first
# stem, declension and variant, and the kind where one stem serves two), and
# of each packon by the ending it takes.
PRONOUN_LEMMAS = {"h 3 1": "hic", "ill 6 1": "ille", "ist 6 1": "iste", "ips 6 2": "ipse", "i 4 1": "is",
                  "i 4 2": "idem", "qu 1 1 REL": "qui", "qu 1 2 INTERR": "quis", "aliqu 1 2": "aliquis",
                  "eg 5 1": "ego", "t 5 2": "tu", "n 5 3": "nos", "v 5 3": "vos", "s 5 4": "se",
                  "uter 4 3": "uterque"}
PACKON_LEMMAS = {"dam": "quidam", "que": "quisque", "cumque": "quicumque", "quam": "quisquam", "libet": "quilibet",
                 "vis": "quivis", "piam": "quispiam", "quis": "quisquis", "quid": "quisquis", "quo": "quisquis"}


def pronoun_lemma(line):
    codes = line[76:99].split()
    if codes[0] == "PACK":
        ending = re.search(r"\(w/-(\w+)\)", line[110:])
        return PACKON_LEMMAS.get(ending.group(1)) if ending else None
    stem = line[:18].strip()
    return PRONOUN_LEMMAS.get("%s %s %s %s" % (stem, codes[1], codes[2], codes[3]),
                              PRONOUN_LEMMAS.get("%s %s %s" % (stem, codes[1], codes[2])))


# The frequency letter of an entry (the fourth of its further codes, column
# 107) by its lemma's count in the lexicon, each class about three times
# the next: A very frequent (the 58 commonest lemmas), B frequent (to the
# 204th), C common (to the 821st: ubi, satis, vero), D lesser (to the
# 2,147th), E uncommon, F very rare (fewer than 30). The analyser weighs how
# common a reading is against its score (velle reads volo before the rare
# vello), and the article names D to F.
FREQUENCY_CLASSES = ((3000, "A"), (1000, "B"), (300, "C"), (100, "D"), (30, "E"), (0, "F"))
FREQUENCY_COLUMN = 106


# The lexicon's count 1 is no count: it stands beside the rarest lemmas and
# the commonest alike (etiam, tam, totus, moenia), so such a lemma gets no
# letter, as one with no count at all.
NO_COUNT = 1


def frequency_letter(frequency):
    if frequency <= NO_COUNT:
        return "X"
    return next(letter for least, letter in FREQUENCY_CLASSES if frequency >= least)


def with_frequency(line, frequency):
    return line[:FREQUENCY_COLUMN] + frequency_letter(frequency) + line[FREQUENCY_COLUMN + 1:]


def word_list(conversion, pronouns):
    """All lines, the commoner lemma first, each with its frequency letter:
    of two readings of one score the analyser lists the entry stored first
    (its results are ordered by record id), so "primis" reads primus before
    the rarer noun primum. A pronoun line ranks by its lemma's frequency in
    the lexicon."""
    ranked = list(conversion.ranked)
    for line in pronouns:
        lemma = pronoun_lemma(line) or ""
        ranked.append((conversion.frequencies.get(lemma, 0), line))
    # sorted() is stable: lines of one frequency keep the lexicon's order.
    return [with_frequency(line, f) for f, line in sorted(ranked, key=lambda item: -item[0])]


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
    lines = word_list(conversion, pronouns)
    with open(args.out, "w", encoding="ascii", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    report = ["lemmas written %d as %d lines (%d without an English meaning), %d pronoun lines of %s" %
              (conversion.converted, len(conversion.ranked), conversion.unexplained, len(pronouns), args.pronouns)]
    report += ["skipped %d: %s" % (n, reason) for reason, n in skipped.most_common()]
    report += ["left out %s: %s" % item for item in conversion.left_out]
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
