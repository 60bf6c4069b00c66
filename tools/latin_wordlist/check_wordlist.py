#!/usr/bin/env python3
"""Checks the Latin word list converted from Debian's collatinus lexicon, end
to end through the native tools:

1. the conversion: every lemma line is written or skipped for a reason, and
   every written line has the fixed columns (stems of at most 18 letters at
   1, 20, 39, 58; the code field at 77; the meaning at 111);
2. the compiled dictionary (qdxc): its index-121 keys are exactly the stem
   lines the word list gives, by the stem rules written out again here;
3. the analyser (latintool over the compiled dictionary): a form of each of
   200 lexicon entries picked at random (fixed seed), made from collatinus's
   own paradigms, is analysed with its lemma among the dictionary forms, and
   so is "C\u00e6sar" typed in UTF-8; the first analysis of common and
   irregular words names one of the lexicon's lemmas for them; words once
   lost or misread show the dictionary form expected; the invariable words
   left out as rare homographs are still read; of the readings scored
   alike, the lexicon's commonest comes first; a form of a lemma in -que
   (utrumque, quisque) is read as that lemma before a word with -que; a
   capitalised word of the prose texts reads as it does in lower case;
4. Latin prose (prose_accuracy.py): of the tokens the lexicon knows, 98 %
   are analysed, and 98 % of those both know have a first lemma of the
   lexicon's; the meanings keep no HTML entity, even one cut short; every
   word typed into the Translation tab's input line is listed first by the
   analyser's first reading (first_rows.py).

  check_wordlist.py QDXC LATINTOOL LATIN_DATA WORKDIR
LATIN_DATA holds INFLECTS.SEC and ADDONS.LAT. Without collatinus: skipped.
"""
import os
import random
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "latin_paradigms"))
import collatinus_forms  # noqa: E402
import collatinus_wordlist  # noqa: E402
import expand_paradigms  # noqa: E402
import first_rows  # noqa: E402
import prose_accuracy  # noqa: E402

LEXICON = "/usr/share/collatinus/data"
SAMPLE = 200
COMMON_WORDS = ["inquit", "aliam", "duo", "melius", "maximam", "nihil", "possum", "potuit", "unus", "alius",
                "totius", "nullo", "alterum", "multa", "moriuntur", "necesse", "dedit", "fieri", "ait", "nemo",
                "quaeso", "viginti", "Helenam", "uenit", "iuuenes", "servos", "interiorem",
                # plerus's own forms, beside plerique's
                "pleri", "plera", "plerum", "pleris"]
# Words once lost or misread, with the dictionary form their first reading
# must show.
NAMED_WORDS = {
    "ante": "ante  PREP  ACC", "sive": "sive  CONJ", "coram": "coram  PREP  ABL", "penitus": "penitus  ADV",
    "secundum": "secundus, secunda -um, secundior -or -us, secundissimus -a -um  ADJ",  # the lexicon's commonest
    "utrum": "utrum  CONJ", "quot": "quot, undeclined  ADJ",
    "instar": "instar  PREP  GEN", "tenus": "tenus  PREP  GEN", "priusquam": "priusquam  CONJ", "heri": "heri  ADV",
    "noli": "noli, undeclined  V", "memento": "memento, undeclined  V", "en": "en  INTERJ",
    "gravior": "gravis, grave, gravior -or -us, gravissimus -a -um  ADJ",
    "gravius": "gravis, grave, gravior -or -us, gravissimus -a -um  ADJ",
    "graviorem": "gravis, grave, gravior -or -us, gravissimus -a -um  ADJ",
    "fortior": "fortis, forte, fortior -or -us, fortissimus -a -um  ADJ",
    "brevior": "brevis, breve, brevior -or -us, brevissimus -a -um  ADJ",
    "facilius": "facilis, facile, facilior -or -us, facillimus -a -um  ADJ",
    "levius": "levis, leve, levior -or -us, levissimus -a -um  ADJ",
    "aliud": "alius, alia, aliud  ADJ", "multos": "multus, multa -um, - , plurimus -a -um  ADJ",
    "plura": "plus, pluris (gen.)  ADJ", "plures": "plus, pluris (gen.)  ADJ", "pluribus": "plus, pluris (gen.)  ADJ",
    "fieret": "fio, fieri, factus sum  V   SEMIDEP", "fierent": "fio, fieri, factus sum  V   SEMIDEP",
    "nil": "nil, undeclined  N   N", "inquis": "inquis, undeclined  V", "inquiunt": "inquiunt, undeclined  V",
    "iens": "eo, ire, ivi (ii), itus  V", "euntem": "eo, ire, ivi (ii), itus  V",
    "memini": "memini, meminisse, -   V   PERFDEF",
    "odi": "odi, odisse, -   V   PERFDEF", "coepit": "coepi, coepisse, coeptus  V   PERFDEF", "vulgus": "vulgus, vulgi  N   (2nd) N", "vulgi": "vulgus, vulgi  N   (2nd) N",
    "pelagus": "pelagus, pelagi  N   (2nd) N", "Achates": "Achates, Achatae  N   M",
    "Anchises": "Anchises, Anchisae  N   M",
    # Pronouns by their names, first before rare words that share letters
    # (sibus, Egus, meio) and before queo and eo; quid is no relative's form.
    "qui": "qui, quae, quod  PRON", "quem": "qui, quae, quod  PRON", "quis": "quis, quid  PRON",
    "quid": "quis, quid  PRON", "aliquis": "aliquis, aliquid  PRON", "ego": "ego, mei  PRON",
    "Ego": "ego, mei  PRON", "mei": "ego, mei  PRON", "tu": "tu, tui  PRON", "nos": "nos  PRON",
    "vos": "vos  PRON", "se": "se, sui  PRON", "sibi": "se, sui  PRON", "eam": "is, ea, id  PRON",
    # A common verb before a rare one of a higher score.
    "velle": "volo, velle, volui, -   V", "potes": "possum, posse, potui, -   V",
    # Plural-only nouns by their plural; both cases of in, sub, super.
    "arma": "arma, armorum  N   (2nd) N", "castra": "castra, castrorum  N   (2nd) N",
    "moenia": "moenia, moenium  N   (3rd) N", "in": "in  PREP  ACC", "sub": "sub  PREP  ACC",
    # Once unknown.
    "ambo": "ambo, ambae, ambo  NUM", "neuter": "neuter, neutra, neutrum  ADJ", "mille": "mille  NUM",
    "milibus": "milia, milium  N   (3rd) N", "sitim": "sitis, sitis  N   (3rd) F",
    "saepius": "saepe, saepius, saepissime  ADV", "diutius": "diu, diutius, diutissime  ADV",
    "uterque": "uterque, utraque, utrumque  PRON", "utriusque": "uterque, utraque, utrumque  PRON",
    "utrius": "uter, utra, utrum  ADJ", "alterius": "alter, altera, alterum  ADJ",
    # The older superlatives in -umus, by the adjective they are of.
    "optumum": "bonus, optumus -a -um  ADJ", "maxume": "magnus, maxumus -a -um  ADJ",
    # A word of one form that is the whole word before a form of a commoner
    # lemma (magnus's vocative, multus, pars, qui behind num-), a noun
    # before a verb's supine, a common noun before a name.
    "maxime": "maxime  ADV", "multo": "multo  ADV", "partim": "partim  ADV",
    "numquam": "numquam  ADV", "optime": "optime  ADV", "eodem": "eodem  ADV",
    "habitu": "habitus, habitus  N   (4th) M", "caeli": "caelum, caeli  N   (2nd) N",
    # Common forms once unread or misnamed; adjectives without comparison.
    "vim": "vis, vis  N   (3rd) F", "vi": "vis, vis  N   (3rd) F", "vires": "vires, virium  N   (3rd) F",
    "domo": "domus, domus  N   (4th) F", "domos": "domus, domus  N   (4th) F",
    "vis": "volo, velle, volui, -   V", "vult": "volo, velle, volui, -   V", "mavis": "malo, malle, malui, -   V",
    "di": "deus, dei  N   M", "dis": "deus, dei  N   M",
    "plerique": "plerique, pleraeque, pleraque  ADJ", "pleraque": "plerique, pleraeque, pleraque  ADJ",
    "plerorumque": "plerique, pleraeque, pleraque  ADJ", "plerisque": "plerique, pleraeque, pleraque  ADJ",
    "plerosque": "plerique, pleraeque, pleraque  ADJ", "plerumque": "plerumque  ADV",
    "isdem": "idem, eadem, idem  PRON", "quidam": "quidam, quaedam, quiddam  PACK",
    "quicumque": "quicumque, quaecumque, quodcumque  PACK", "quidquid": "quisquis, quidquid  PACK",
    "quisquam": "quisquam, quicquam  PACK", "omnis": "omnis, omnis, omne  ADJ",
    "noster": "noster, nostra, nostrum  ADJ", "pleri": "plerus, plera, plerum  ADJ", "tres": "tres -es -ia, tertius -a -um, terni -ae -a, ter  NUM",
    # Church and late Latin from the lexicon's extension, read whole (Trinitate
    # was trinus's by a trick).
    "prophetam": "propheta, prophetae  N   (1st) M", "episcopi": "episcopus, episcopi  N   (2nd) M",
    "glorificabo": "glorifico, glorificare, glorificavi, glorificatus  V   (1st)",
    "Trinitate": "trinitas, trinitatis  N   (3rd) F",
    # A pronoun with cum grown onto it, read whole as the lexicon files it.
    "tecum": "tecum  ADV", "quibuscum": "quibuscum  ADV"}
# The extension takes no form the lexicon reads, as it stands or with its
# prefix assimilated: the first lemma of each word, which scholares "the
# guard" and aggredio would have taken.
KEPT_BY_THE_LEXICON = {"scholarum": "schola", "aggrediar": "adgredior", "aggressus": "adgredior"}
# Medieval spellings, by the first lemma they read: e for oe (pena was
# penna's), ch for h, mpn for mn, intelligo and negligo.
MEDIEVAL_SPELLINGS = {"pena": "poena", "nichil": "nihil", "solempnis": "solemnis", "contempnere": "contemno",
                      "intelligenda": "intellego", "negligo": "neglego"}
FIRST_LEMMAS = {**KEPT_BY_THE_LEXICON, **MEDIEVAL_SPELLINGS}
# Words whose first line must carry a meaning (the lexicon gives it under
# another lemma, or gives none: si, sic).
MEANING_WORDS = {"nihil": "nothing", "inquit": "it is said, one says;",
                 "noli": "to be unwilling; to wish not to; to refuse to;", "si": "if; whether;",
                 "sic": "thus, so, in this way; (sic ... ut) so ... that;",
                 "mereo": "to deserve, merit, to be entitled to, be worthy of",
                 "baptizatis": "to baptize", "secum": "with oneself; with himself, herself, themselves;"}


def layout_faults(lines):
    faults = []
    for n, line in enumerate(lines, 1):
        stems = [line[i:i + 18] for i in (0, 19, 38, 57)]
        gaps = [line[i] for i in (18, 37, 56, 75, 99, 109)]
        if len(line) < 111 or any(g != " " for g in gaps) or not re.fullmatch(r"[A-Za-z]*", stems[0].rstrip()) \
                or not line[76].isalpha():
            faults.append("line %d: %r" % (n, line[:110]))
    return faults


def stray_meanings(lines):
    """Lines whose meaning holds no word and no number: a mark the lexicon
    left where a meaning belongs (the extension's faeles reads "e`")."""
    return [line.split()[0] for line in lines
            if line[110:].strip() and not re.search(r"[A-Za-z]{2}|\d", line[110:])]


def stem_records(line):
    """The stem lines of one word-list line, by the compiler's stem rules:
    (stem, code field, stem number) each."""
    stems = [line[i:i + 18].rstrip() for i in (0, 19, 38, 57)]
    field = line[76:99]
    code = field.rstrip()
    usable = [s != "" and s != "zzz" for s in stems]
    if code.startswith(("N ", "ADJ ", "V ")) and stems[0] == stems[1] and usable[0]:
        records = [(stems[0], "0")]
        if not code.startswith("N "):
            records += [(stems[i], str(i + 1)) for i in (2, 3) if usable[i]]
        return [(s, code, n) for s, n in records]
    for prefix, at, sorts in (("ADJ ", 11, {"COMP ": "3", "SUPER ": "4"}), ("ADV ", 7, {"COMP ": "2", "SUPER ": "3"}),
                              ("NUM ", 11, {"CARD ": "1", "ORD ": "2", "DIST ": "3", "ADVERB ": "4"})):
        for sort, number in sorts.items():
            if code.startswith(prefix) and field[at:at + len(sort)] == sort:
                return [(stems[0], code, number)]
    return [(stems[i], code, str(i + 1)) for i in range(4) if usable[i]]


def compiled_keys(qdxdump, dictionary):
    out = subprocess.run([qdxdump, dictionary, "--keys", "121"], capture_output=True, text=True,
                         encoding="latin-1", check=True).stdout
    keys, inside = [], False
    for row in out.split("\n"):
        if row.startswith("index "):
            inside = row.startswith("index 121:")
            continue
        if inside and "\t" in row:
            stem, rest, _ = row.split("\t")
            keys.append((stem, rest[:23].rstrip(), rest[26:].strip()))
    return keys


def sampled_forms():
    models = expand_paradigms.read_models(os.path.join(LEXICON, "modeles.la"))
    morphos = expand_paradigms.read_morphos(os.path.join(LEXICON, "morphos.en"))
    entries = []
    for raw in open(os.path.join(LEXICON, "lemmes.la"), encoding="utf-8"):
        fields = raw.rstrip("\n").split("|")
        if raw.startswith("!") or len(fields) < 5 or fields[1] not in collatinus_wordlist.MODELS:
            continue
        if collatinus_wordlist.ascii_text(fields[0].split("=")[0]) is None:
            continue
        # Only the sampled entries are expanded whole; the others only as
        # far as their first form, which tells whether they have any.
        if next(expand_paradigms.forms_of(fields, models, morphos), None) is not None:
            entries.append(fields)
    rng = random.Random(1234)
    picked = []
    for fields in rng.sample(entries, SAMPLE):
        forms = sorted(set((f, lemma) for f, lemma, _, _ in expand_paradigms.forms_of(fields, models, morphos)))
        picked.append(rng.choice(forms))
    return picked


def lemmas_found(latintool, dictionary, forms):
    text = "\n".join(f for f, _ in forms) + "\n"
    out = subprocess.run([latintool, "analyse", "--dictionary", dictionary], input=text.encode("utf-8"),
                         capture_output=True, check=True).stdout.decode("latin-1")
    answers, current = [], set()
    for row in out.split("\n"):
        if row.startswith("=> "):
            answers.append(current)
            current = set()
        elif row.startswith("02 "):
            current.add(expand_paradigms.plain(row[3:].split(",")[0].split()[0]))
    return answers


def first_readings(latintool, dictionary, words):
    """Per word: the first group's dictionary form (up to its codes) and its
    meaning line; "(pronoun)" for a pronoun's group, whose form is empty."""
    out = subprocess.run([latintool, "analyse", "--dictionary", dictionary], input="\n".join(words) + "\n",
                         capture_output=True, text=True, encoding="latin-1", check=True).stdout
    readings, groups = [], []
    for row in out.split("\n"):
        if row.startswith("=> "):
            rows = groups[0] if groups else []
            form = next((r[3:].split("  [")[0].strip() for r in rows if r.startswith("02 ")), "")
            if not form and any(r.startswith("01 ") and " pron. " in r for r in rows):
                form = "(pronoun)"
            readings.append((form, next((r[3:].strip() for r in rows if r.startswith("03 ")), "")))
            groups = []
        elif row.startswith("10 "):
            groups.append([])
        elif groups:
            groups[-1].append(row)
    return readings


def lexicon_names():
    """The plain lemmas the lexicon writes with a capital: its names."""
    names = set()
    for raw in open(os.path.join(LEXICON, "lemmes.la"), encoding="utf-8"):
        head = raw.split("|")[0].split("=")[0]
        if not raw.startswith("!") and head[:1].isupper():
            names.add(collatinus_forms.plain(head))
    return names


def order_faults(latintool, dictionary, words, known):
    """The words whose first reading is not the commonest (the lexicon's
    frequency) of the readings the analyser scores as high; a lemma whose
    count is 1, which the lexicon gives the commonest and the rarest words
    alike, has no frequency to compare."""
    frequencies, pronouns = prose_accuracy.lexicon_frequencies()
    frequencies = {l: f for l, f in frequencies.items() if f > 1}
    _, groups = prose_accuracy.analyses(latintool, dictionary, words, with_rare=True)
    faults = []
    for word, g in zip(words, groups):
        lemmas = collatinus_forms.lemmas_of(known, word)
        pronoun_frequency = max((frequencies.get(l, 0) for l in lemmas if l in pronouns), default=0)
        # A reading by rare forms alone (habitu as habeo's supine) is as rare as any.
        ranked = [(0 if rare else pronoun_frequency if l == collatinus_forms.PRONOUN else frequencies.get(l, 0), l)
                  for l, score, rare in g if l and score == max(s for _, s, _ in g)
                  and (l in frequencies or l == collatinus_forms.PRONOUN)]
        if ranked and ranked[0][1] != max(ranked)[1] and ranked[0][0] < max(ranked)[0]:
            faults.append((word, ranked[0][1], max(ranked)[1]))
    return faults


def enclitic_first_faults(latintool, dictionary, known):
    """The forms of the lexicon's lemmas in -que (uterque, quisque, itaque)
    read first as another word with the enclitic (utrum + que), though a
    reading of the whole form names one of their lemmas; and how many forms
    were read so."""
    que = {l for lemmas in known.values() for l in lemmas if l.endswith("que") and len(l) > 3}
    forms = sorted(f for f, lemmas in known.items() if lemmas & que)
    _, groups = prose_accuracy.analyses(latintool, dictionary, forms)
    faults, whole = [], 0
    for form, g in zip(forms, groups):
        named = [lemma for lemma, _ in g if lemma]
        if not any(lemma in known[form] for lemma in named):
            continue
        whole += 1
        if named[0] not in known[form] and named[0] in known.get(form[:-len("que")], set()):
            faults.append((form, named[0], sorted(known[form] & que)))
    return faults, whole


def beside_dictionaries(qdxc, work):
    """EDICT and KANJIDIC compiled as the program's first start opens them
    before the Latin dictionary (those Debian does not hold left out)."""
    compiled = []
    for source in ("/usr/share/edict/edict", "/usr/share/edict/kanjidic"):
        if os.path.exists(source):
            compiled.append(os.path.join(work, os.path.basename(source) + ".qdx"))
            subprocess.run([qdxc, source, compiled[-1]], capture_output=True, check=True)
    return compiled


def main():
    if len(sys.argv) != 5:
        print(__doc__)
        return 2
    qdxc, latintool, data, work = sys.argv[1:]
    if not os.path.exists(os.path.join(LEXICON, "lemmes.la")):
        print("collatinus missing: skipped")
        return 0
    os.makedirs(work, exist_ok=True)
    source = os.path.join(work, "collatinus_words.txt")
    for name in ("INFLECTS.SEC", "ADDONS.LAT"):
        shutil.copy(os.path.join(data, name), os.path.join(work, name))
    conversion = collatinus_wordlist.convert(LEXICON)
    pronouns = collatinus_wordlist.supplement_lines(os.path.join(HERE, "..", "..", "latin", "data", "words.txt"))
    lines = collatinus_wordlist.word_list(conversion, pronouns)
    with open(source, "w", encoding="ascii", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    status = 0

    total = sum(conversion.models.values())
    print("lemmas %d: written %d as %d lines (%d without English), skipped %s; %d pronoun lines" %
          (total, conversion.converted, len(conversion.ranked), conversion.unexplained,
           ", ".join("%s %d" % kv for kv in conversion.skipped.most_common()), len(pronouns)))
    if not pronouns or conversion.converted + sum(conversion.skipped.values()) != total:
        print("lines written and skipped do not add up to the lemmas")
        status = 1
    faults = layout_faults(lines)
    if faults:
        print("%d lines out of their columns, first: %s" % (len(faults), faults[0]))
        status = 1
    stray = stray_meanings(lines)
    if stray:
        print("%d lines whose meaning is a stray mark: %s" % (len(stray), ", ".join(stray[:10])))
        status = 1

    dictionary = os.path.join(work, "collatinus_words.qdx")
    if os.path.exists(dictionary):
        os.remove(dictionary)
    subprocess.run([qdxc, "--deterministic", source, dictionary], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    want = sorted(r for line in lines for r in stem_records(line)) + [("", "V      5 1 TO_BE", "2"),
                                                                      ("fu", "V      5 1 TO_BE", "3"),
                                                                      ("fut", "V      5 1 TO_BE", "4"),
                                                                      ("s", "V      5 1 TO_BE", "1")]
    got = sorted(compiled_keys(os.path.join(os.path.dirname(qdxc), "qdxdump"), dictionary))
    want = sorted(want)
    print("index 121: %d keys, %d stem lines" % (len(got), len(want)))
    if got != want:
        missing = sorted(set(want) - set(got))[:3]
        extra = sorted(set(got) - set(want))[:3]
        print("index 121 differs from the stem lines: missing %s, extra %s" % (missing, extra))
        status = 1

    # The tool reads UTF-8: a ligature typed into it reaches the analyser.
    forms = sampled_forms() + [("C\u00e6sar", "caesar")]
    answers = lemmas_found(latintool, dictionary, forms)
    misses = [(f, lemma, sorted(a)) for (f, lemma), a in zip(forms, answers) if lemma not in a]
    print("%d forms of random entries and Caesar: %d analysed with their lemma" % (len(forms), len(forms) - len(misses)))
    for miss in misses[:10]:
        print("  %s: lemma %s, analyses %s" % miss)
    if len(answers) != len(forms) or misses:
        status = 1

    # The commonest words, irregular ones among them: the first analysis
    # names one of the lexicon's lemmas (not in + queo, Allia, tuus,
    # Maelius, Maxima).
    known = collatinus_forms.lemmas_by_form(LEXICON)
    found, firsts = prose_accuracy.first_lemmas(latintool, dictionary, COMMON_WORDS)
    wrong = [(w, f, sorted(collatinus_forms.lemmas_of(known, w))) for w, f in zip(COMMON_WORDS, firsts)
             if f not in collatinus_forms.lemmas_of(known, w)]
    print("%d common words: %d with a first lemma of the lexicon's" % (len(COMMON_WORDS), len(COMMON_WORDS) - len(wrong)))
    for miss in wrong:
        print("  %s: first lemma %s, the lexicon's %s" % miss)
    if wrong:
        status = 1

    # The words once lost or misread: their first reading and its form.
    named = sorted(NAMED_WORDS) + sorted(MEANING_WORDS)
    readings = first_readings(latintool, dictionary, named)
    misread = [(w, f) for w, (f, _) in zip(named, readings) if w in NAMED_WORDS and f != NAMED_WORDS[w]]
    misread += [(w, m) for w, (_, m) in zip(named, readings) if w in MEANING_WORDS and m != MEANING_WORDS[w]]
    _, firsts = prose_accuracy.first_lemmas(latintool, dictionary, sorted(FIRST_LEMMAS))
    misread += [(w, f) for w, f in zip(sorted(FIRST_LEMMAS), firsts) if f != FIRST_LEMMAS[w]]
    named += sorted(FIRST_LEMMAS)
    print("%d named words: %d read as expected" % (len(named), len(named) - len(misread)))
    for word, got in misread:
        expected = NAMED_WORDS.get(word, MEANING_WORDS.get(word, FIRST_LEMMAS.get(word)))
        print("  %s: %r, expected %r" % (word, got, expected))
    # in, sub and super take the accusative and the ablative.
    cases = subprocess.run([latintool, "analyse", "--dictionary", dictionary], input="in\nsub\nsuper\n",
                           capture_output=True, text=True, encoding="latin-1", check=True).stdout
    for word in ("in", "sub", "super"):
        for case in ("ACC", "ABL"):
            if "02 %s  PREP  %s" % (word, case) not in cases:
                misread.append((word, "no PREP %s" % case))
                print("  %s: no reading with the %s" % (word, case))
    if misread:
        status = 1

    # A lemma in -que is read as itself before a word with the enclitic.
    faults, whole = enclitic_first_faults(latintool, dictionary, known)
    print("%d forms of lemmas in -que read whole: %d first as their lemma" % (whole, whole - len(faults)))
    for fault in faults:
        print("  %s: first %s + que, the lexicon's %s" % fault)
    if faults or whole < 50:
        status = 1

    # A word that opens a sentence (Quod, Utrumque, Troiae) reads first as
    # it does in lower case, or as a name (Aenea Aeneas, where aenea reads
    # aeneus first): the capitalised words of the prose texts.
    capitalised = sorted({t for _, tokens in prose_accuracy.texts() for t in tokens
                          if len(t) > 1 and t[0].isupper() and t[1:].islower()})
    _, upper = prose_accuracy.analyses(latintool, dictionary, capitalised)
    _, lower = prose_accuracy.analyses(latintool, dictionary, [t.lower() for t in capitalised])
    names = lexicon_names()
    unlike = [(t, [l for l, _ in u][:2], [l for l, _ in w][:2])
              for t, u, w in zip(capitalised, upper, lower)
              if [l for l, _ in u[:1]] != [l for l, _ in w[:1]] and not (u and u[0][0] in names)]
    print("%d capitalised words: %d read as in lower case" % (len(capitalised), len(capitalised) - len(unlike)))
    for word, first, as_lower in unlike[:10]:
        print("  %s: %s, in lower case %s" % (word, first, as_lower))
    if unlike or len(capitalised) < 100:
        status = 1

    # An invariable word left out as a rare homograph is still read as the
    # commoner lemma that makes its form (its first reading is an entry's,
    # not a spelling trick's).
    homographs = [re.search(r"\((\w+)\)$", reason).group(1) for _, reason in conversion.left_out
                  if "invariable homograph" in reason]
    _, groups = prose_accuracy.analyses(latintool, dictionary, homographs)
    lost = [w for w, g in zip(homographs, groups) if not g or g[0][0] is None]
    print("%d invariable homographs left out: %d still read" % (len(homographs), len(homographs) - len(lost)))
    if lost or not homographs:
        print("  no longer read: %s" % " ".join(lost))
        status = 1

    # Of the readings that score alike, the commonest in the lexicon comes first.
    faults = order_faults(latintool, dictionary, COMMON_WORDS + named, known)
    print("%d words: %d with the commonest of their best-scored readings first" %
          (len(COMMON_WORDS + named), len(COMMON_WORDS + named) - len(faults)))
    for fault in faults:
        print("  %s: first %s, commoner %s" % fault)
    if faults:
        status = 1

    # A lemma whose count is 1 (etiam, tam: the lexicon gives it the
    # commonest and the rarest words alike) carries no frequency letter.
    lettered = [line[:18].strip() for line in lines if line[:18].strip() in ("etiam", "tam") and line[106] != "X"]
    if lettered:
        print("  counted as rare though the lexicon gives no count: %s" % " ".join(lettered))
        status = 1

    # Comparison only where the adjective or adverb has it: omnis and noster
    # are positives, maxime a superlative adverb, tres a numeral; doctus,
    # fortis and bonus keep theirs. No meaning is a placeholder ("Comp.").
    codes = {}
    for line in lines:
        codes.setdefault(line[:18].strip(), []).append((line[76:99].strip(), line[19:37].strip(), line[38:56].strip()))
    want = {"omn": ("ADJ    3 2 POS", "omn", ""), "noster": ("ADJ    1 2 POS", "nostr", ""),
            "maxime": ("ADV    SUPER", "", ""), "tr": ("NUM    1 3 X 3", "terti", "tern"),
            "doct": ("ADJ    1 1 X", "doct", "docti"), "fort": ("ADJ    3 2 X", "fort", "forti"),
            "bon": ("ADJ    1 1 X", "bon", "meli")}
    compared = [(stem, codes.get(stem)) for stem, line in want.items() if line not in codes.get(stem, [])]
    placeholders = [line[:18].strip() for line in lines if re.fullmatch(r"\s*([Cc]omp|sup)\.\s*", line[110:])]
    if compared or placeholders:
        print("  comparison: %s; placeholder meanings: %s" % (compared, placeholders))
        status = 1

    # The lexicon's HTML entities are read, not copied into the meanings.
    entities = [line for line in lines if re.search(r"&[a-zA-Z]+", line[110:])]
    if entities:
        print("%d meanings keep an HTML entity, first: %s" % (len(entities), entities[0][110:]))
        status = 1

    # Running Latin text that no one here wrote, and the first row the
    # Translation tab lists for each of its words.
    if prose_accuracy.report(latintool, dictionary, check=98.0) != 0:
        status = 1
    if first_rows.report(latintool, beside_dictionaries(qdxc, work) + [dictionary]) != 0:
        status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
