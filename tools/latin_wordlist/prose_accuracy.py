#!/usr/bin/env python3
"""How the analyser does on Latin running text that no one here wrote,
analysed through latintool over a compiled Latin dictionary:

- liturgical: the Latin parts of the liturg package's sample (the Missal and
  Breviary texts) in Debian's texlive-humanities-doc;
- Dictys: the Latin column of the reledmac package's parallel-pages sample
  in the same package (the start of Dictys Cretensis' Ephemeris belli
  Troiani);
- Livy: collatinus's own sample text, the story of Lucretia (Livy 1.57-59).

  prose_accuracy.py LATINTOOL DICTIONARY.qdx [--check PERCENT] [--held-out FILE]...

- Cicero: the opening of the Tusculan Disputations, the numbered text of
  reledmac's footnote-spacing sample (held out with Livy: the converter's
  choices were made on the other two).

Prints, per text, for the tuning and the held-out texts and in all, the
tokens, the share analysed (anything but UNKNOWN), the share analysed of the
tokens collatinus's lexicon knows (the rest are names, Church Latin,
abbreviations and misprints that no lexicon here holds), over the tokens
that both know the share whose first analysis names one of the lexicon's
lemmas for that form (collatinus_forms.py), and, over those whose order the
analyser's score leaves open (the lexicon's commonest lemma is not listed
with a lower score than the first reading), the share whose first lemma is
the lexicon's commonest (its frequency in lemmes.la). With --check, exits 1
when the share of the lexicon's tokens analysed or the share agreeing is
below PERCENT. Each --held-out FILE (plain text, or gzip; lines from "%" on
are comments) is measured apart and printed as its figures alone, without
its words, so that nothing is tuned on it.
"""
import collections
import gzip
import os
import re
import subprocess
import sys
import unicodedata

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import collatinus_forms  # noqa: E402

TEXT = "/usr/share/doc/texlive-doc/latex/liturg/test.tex.gz"
DICTYS = "/usr/share/doc/texlive-doc/latex/reledmac/examples/4-reledpar_pages_long_notes.tex.gz"
LIVY = "/usr/share/collatinus/data/lucretia.txt"
CICERO = "/usr/share/doc/texlive-doc/latex/reledmac/examples/2-footnote_spacing.tex.gz"
# The texts the converter's choices were made on, and those kept out of it
# (Cicero's was first read after the choices were made).
HELD_OUT = {"Livy", "Cicero"}
# The word list names a verb used only in the perfect by its perfect, the
# lexicon by its early present; memini's imperative is a word of its own.
LEXICON_NAMES = {"coepi": "coepio", "memento": "memini", "mementote": "memini"}


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
    return re.findall(r"[A-Za-z]+", edtext_lemmas(side))


def edtext_lemmas(side):
    """TeX with each \\edtext{lemma}{notes} read as its lemma, commands and
    environments removed."""
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
    return re.sub(r"\\(begin|end)\{[^}]*\}|\\[a-zA-Z]+\*?(\{[^}]*\})?", " ", "".join(kept))


def cicero_tokens(path=CICERO):
    """The numbered text (the opening of the Tusculan Disputations), each
    \\edtext{lemma}{notes} read as its lemma."""
    text = gzip.open(path, "rt", encoding="utf-8").read()
    body = text[text.index("\\beginnumbering"):text.index("\\endnumbering")]
    return re.findall(r"[A-Za-z]+", edtext_lemmas(body))


def livy_tokens(path=LIVY):
    """The story, its title line left out; "Sex." and the like stay words."""
    return re.findall(r"[A-Za-z]+", open(path, encoding="utf-8").read().split("\n", 1)[1])


def plain_text_tokens(path):
    """The words of a plain Latin text (gzip or not), "%" comments left out;
    accents go and the ligatures become two letters (D\u00f3minus, c\u00e6lo), as the
    program folds them."""
    opened = gzip.open(path, "rt", encoding="utf-8") if path.endswith(".gz") else open(path, encoding="utf-8")
    with opened as text:
        text = "\n".join(line.split("%")[0] for line in text)
    for ligature, letters in (("\u00e6", "ae"), ("\u00c6", "Ae"), ("\u0153", "oe"), ("\u0152", "Oe")):
        text = text.replace(ligature, letters)
    text = "".join(c for c in unicodedata.normalize("NFD", text) if not unicodedata.combining(c))
    return re.findall(r"[A-Za-z]+", text)


def texts():
    found = []
    for name, path, read in (("liturgical", TEXT, latin_tokens), ("Dictys", DICTYS, dictys_tokens),
                             ("Livy", LIVY, livy_tokens), ("Cicero", CICERO, cicero_tokens)):
        if os.path.exists(path):
            found.append((name, read(path)))
    return found


def is_rare_form(line):
    """Whether an inflection line ("habit.u - supine 2.1 abl. sg. n.") is of a
    form the analyser takes for the rarest of its word's, whatever the word:
    a supine, a vocative, a noun's accusative in -im."""
    form, _, codes = line.partition(" - ")
    return codes.startswith("supine") or (codes.startswith(("n.", "adj.", "vpar.")) and " voc. " in codes) or \
        (codes.startswith("n.") and " acc. " in codes and form.endswith(".im"))


def analyses(latintool, dictionary, tokens, with_rare=False):
    """Per token: whether any analysis came (a group line), and its groups in
    order as (lemma, score): the lemma of the group's dictionary form
    (PRONOUN for a pronoun made with a packon, whose form names no lemma;
    None for a group with no entry), the score the analyser orders groups by
    (form_score; a group without its own form line shares the one before).
    with_rare adds to each group whether it reads by rare forms alone."""
    out = subprocess.run([latintool, "analyse", "--dictionary", dictionary], input="\n".join(tokens) + "\n",
                         capture_output=True, text=True, encoding="latin-1", check=True).stdout
    found, groups, token_groups, any_group, group, form = [], [], [], False, [], ""
    for row in out.split("\n"):
        if row.startswith(("10 ", "=> ")) and group:
            forms = [g[3:] for g in group if g.startswith("02 ")]
            form = forms[0].strip() if forms else form
            lemma = None
            if form[:1].isalpha() and not re.search(r" PACK ", form):
                lemma = collatinus_forms.plain(form.split(",")[0].split()[0])
                lemma = LEXICON_NAMES.get(lemma, lemma)
            elif any(g.startswith("01 ") and (" pron. " in g or " pack. " in g) for g in group):
                lemma, form = collatinus_forms.PRONOUN, ""
            token = tokens[len(groups)]
            lines = [g[3:] for g in group if g.startswith("01 ") and len(g) > 3]
            stems = [line.split()[0].split(".")[0] for line in lines]
            score = form_score(token, form, stems)
            rare = bool(lines) and all(map(is_rare_form, lines))
            token_groups.append((lemma, score, rare) if with_rare else (lemma, score))
            group = []
        if row.startswith("=> "):
            groups.append(token_groups)
            found.append(any_group)
            any_group, token_groups, form = False, [], ""
        elif row.startswith("10 "):
            any_group = True
            group = [row]
        elif group:
            group.append(row)
    return found, groups


def common_beginning(token, form):
    return next((i for i, (a, b) in enumerate(zip(token, form)) if a != b), min(len(token), len(form)))


def form_score(token, form, stems):
    """The score the analyser orders groups by: the length of the common
    beginning of the token and the form's head (up to its first blank or
    comma), or, for a verb, noun or pronoun read on a stem the head does not
    show, of the principal part that shows it where that matches further
    (natum: nascor's natus; vocem: vox's vocis)."""
    if not form:
        return 0
    named, _, codes = form.partition("  ")
    parts = [part.split(" ")[0] for part in named.split(", ")]
    parts = parts[:1] + [p for p in parts[1:] if p and p not in ("undeclined", "-")]
    score = common_beginning(token, parts[0])
    if codes.split()[:1] in (["V"], ["N"], ["PRON"]):
        for stem in stems:
            if stem and not parts[0].startswith(stem):
                score = max([score] + [common_beginning(token, p) for p in parts if p.startswith(stem)])
    return score


def first_lemmas(latintool, dictionary, tokens):
    """Per token: whether any analysis came, and the first group's lemma
    that names one (None when none does)."""
    found, groups = analyses(latintool, dictionary, tokens)
    return found, [next((lemma for lemma, _ in g if lemma), None) for g in groups]


def lexicon_frequencies(directory=collatinus_forms.LEXICON):
    """plain lemma -> the lexicon's frequency (the highest of its homonyms),
    and the set of pronoun lemmas (a packon's pronoun, PRONOUN, is any of them)."""
    frequencies, pronouns = {}, set()
    path = os.path.join(directory, "lemmes.la")
    if not os.path.exists(path):
        return frequencies, pronouns
    for raw in open(path, encoding="utf-8"):
        fields = raw.rstrip("\n").split("|")
        if raw.startswith("!") or len(fields) < 6 or not fields[5].strip().isdigit():
            continue
        head = fields[0].split("=")
        # An invariable word's spellings (a=a,ab,abs) name it too.
        names = [head[0]] + (head[1].split(",") if fields[1] == "inv" and len(head) > 1 else [])
        for lemma in {collatinus_forms.plain(name) for name in names if name}:
            frequencies[lemma] = max(int(fields[5]), frequencies.get(lemma, 0))
        if fields[1] in collatinus_forms.PRONOUN_MODELS:
            pronouns.add(collatinus_forms.plain(head[0]))
    return frequencies, pronouns


def commonest(lemmas, frequencies):
    """The lexicon's commonest lemma of a form's lemmas."""
    return max((l for l in lemmas if l != collatinus_forms.PRONOUN), key=lambda l: (frequencies.get(l, 0), l),
               default=None)


Measure = collections.namedtuple("Measure", "tokens analysed lexicon lexicon_analysed compared agreeing open "
                                            "open_commonest commonest whole_or_commonest unknown wrong "
                                            "not_commonest")


def measure(latintool, dictionary, known, tokens, frequencies=None, pronouns=frozenset()):
    """The counts of one text: its tokens, those analysed, those the lexicon
    knows and how many of them were analysed, those both know and how many
    of them agree; of those, the tokens whose order the score leaves open
    (the lexicon's commonest lemma is not listed below the first group's
    score) and how many of them have the commonest lemma first; the
    unknown tokens, the disagreements and the open tokens not commonest."""
    found, groups = analyses(latintool, dictionary, tokens)
    firsts = [next((lemma for lemma, _ in g if lemma), None) for g in groups]
    lemmas = [collatinus_forms.lemmas_of(known, t) for t in tokens]
    compared = [(t, f, l, g) for t, f, a, l, g in zip(tokens, firsts, found, lemmas, groups) if a and l]
    wrong = [(t, f, sorted(l)) for t, f, l, _ in compared if f not in l]
    unknown = [t for t, a in zip(tokens, found) if not a]
    opened, first_commonest, whole_or_commonest, not_commonest = 0, 0, 0, []
    for t, f, l, g in compared:
        best = commonest(l, frequencies or {})
        top = max(score for _, score in g)
        # A packon's pronoun (quidam, quisque) names no lemma: any pronoun counts.
        is_commonest = f == best or (f in l and frequencies.get(f, -1) == frequencies.get(best, -2)) or \
            (f == collatinus_forms.PRONOUN and best in pronouns)
        first_commonest += is_commonest
        # The word read whole as one of its own lemmas (quod, quam, maxime)
        # leads by the analyser's rule, whatever the lexicon counts.
        whole_or_commonest += is_commonest or (f in l and f == collatinus_forms.plain(t.lower()))
        if any((lemma == best or lemma == collatinus_forms.PRONOUN and best in pronouns) and score < top
               for lemma, score in g):
            continue    # the analyser's scoring puts the commonest lemma lower
        opened += 1
        if not is_commonest:
            not_commonest.append((t, f, best))
    return Measure(len(tokens), sum(found), sum(1 for l in lemmas if l), sum(1 for a, l in zip(found, lemmas) if a and l),
                   len(compared), len(compared) - len(wrong), opened, opened - len(not_commonest), first_commonest,
                   whole_or_commonest, unknown, wrong, not_commonest)


def percent(part, whole):
    return 100.0 * part / max(whole, 1)


def summary(name, m):
    return ("%s: tokens %d, analysed %.1f %%; of the %d the lexicon knows, analysed %.1f %%; first lemma agreeing "
            "%.1f %% of %d; the commonest lemma first %.1f %% of the %d whose order the score leaves open "
            "(%.1f %% of all %d; %.1f %% counting a word read whole as its own lemma)" %
            (name, m.tokens, percent(m.analysed, m.tokens), m.lexicon, percent(m.lexicon_analysed, m.lexicon),
             percent(m.agreeing, m.compared), m.compared, percent(m.open_commonest, m.open), m.open,
             percent(m.commonest, m.compared), m.compared, percent(m.whole_or_commonest, m.compared)))


def report(latintool, dictionary, check=None, held_out=()):
    """Prints the counts of every text, of the tuning and held-out texts and
    of all; with check, 1 when the share of the lexicon's tokens analysed or
    the share agreeing is below it. The held_out files are measured apart."""
    found = texts()
    if not found:
        print("texlive-humanities-doc and collatinus missing: prose skipped")
        return 0
    known = collatinus_forms.lemmas_by_form()
    frequencies, pronouns = lexicon_frequencies()
    apart = None
    for path in held_out:
        m = measure(latintool, dictionary, known, plain_text_tokens(path), frequencies, pronouns)
        print(summary("apart %s" % os.path.basename(path), m))
        apart = m if apart is None else Measure(*[a + b for a, b in zip(apart, m)])
    if len(held_out) > 1:
        print(summary("apart, the %d together" % len(held_out), apart))
    totals = {}
    for name, tokens in found:
        m = measure(latintool, dictionary, known, tokens, frequencies, pronouns)
        print(summary(name, m))
        print("  unknown: %s" % " ".join(sorted(set(m.unknown))))
        print("  first lemma not the lexicon's: %s" %
              " ".join("%s->%s(%s)" % (t, f, ",".join(l)) for t, f, l in sorted(set((t, f, tuple(l))
                                                                                     for t, f, l in m.wrong))))
        print("  first lemma not the commonest: %s" %
              " ".join("%s->%s(%s)" % item for item in sorted(set(m.not_commonest))))
        for part in ("held out" if name in HELD_OUT else "tuning", "all"):
            totals[part] = m if part not in totals else Measure(*[a + b for a, b in zip(totals[part], m)])
    for part in ("tuning", "held out", "all"):
        if part in totals:
            print(summary(part, totals[part]))
    total = totals["all"]
    shares = (percent(total.lexicon_analysed, total.lexicon), percent(total.agreeing, total.compared))
    if check is not None and min(shares) < check:
        print("below %.1f %%" % check)
        return 1
    return 0


def main():
    args = sys.argv[1:]
    check, held_out = None, []
    while "--check" in args or "--held-out" in args:
        at = args.index("--check") if "--check" in args else args.index("--held-out")
        if at + 1 >= len(args):
            print(__doc__)
            return 2
        if args[at] == "--check":
            check = float(args[at + 1])
        else:
            held_out.append(args[at + 1])
        del args[at:at + 2]
    if len(args) != 2:
        print(__doc__)
        return 2
    return report(args[0], args[1], check, held_out)


if __name__ == "__main__":
    sys.exit(main())
