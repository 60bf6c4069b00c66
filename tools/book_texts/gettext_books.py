#!/usr/bin/env python3
"""Text books of parallel text from Debian's gettext catalogs.

    gettext_books.py book OUT.txt DOMAIN LANG...   # read with msgunfmt
    gettext_books.py expect OUT.txt DOMAIN LANG... # read with Python's gettext

`book` writes a text book: a language header group ("<Latn>English",
"<Cyrl>Russian", ...), then one group per message that every catalog
translates, the English text first. A message is taken when it and each
translation is one line of printable text without leading or trailing
blanks and not starting with "<" (a line tag of the book format).
`expect` writes the same messages, one per line and language, tab
separated, as Python's own .mo reader gives them: the oracle of the tests.
"""
import gettext
import re
import subprocess
import sys

SCRIPTS = {"en": ("Latn", "English"), "ru": ("Cyrl", "Russian"), "ja": ("Hrkt", "Japanese"),
           "he": ("Hebr", "Hebrew"), "ar": ("Arab", "Arabic")}


def mo_path(domain, lang):
    return "/usr/share/locale/%s/LC_MESSAGES/%s.mo" % (lang, domain)


def po_messages(path):
    """msgid -> msgstr of the singular messages of a catalog, via msgunfmt."""
    po = subprocess.run(["msgunfmt", "--no-wrap", path], check=True, capture_output=True,
                        env={"LC_ALL": "C.UTF-8"}).stdout
    text = subprocess.run(["msgconv", "--no-wrap", "-t", "UTF-8"], input=po, check=True, capture_output=True,
                          env={"LC_ALL": "C.UTF-8"}).stdout.decode("utf-8")
    escapes = {"n": "\n", "t": "\t", "r": "\r", '"': '"', "\\": "\\", "a": "\a", "b": "\b",
               "f": "\f", "v": "\v"}
    def unquote(s):
        return re.sub(r'\\(.)', lambda m: escapes.get(m.group(1), m.group(1)), s.strip()[1:-1])
    messages, entries, entry, field = {}, [], {}, None
    for line in text.split("\n") + [""]:
        if not line.strip():
            if entry:
                entries.append(entry)
            entry, field = {}, None
            continue
        if line.startswith("#"):
            continue
        if line.startswith('"'):
            if field is not None:
                entry[field] += unquote(line)
            continue
        name, _, rest = line.partition(" ")
        field = name
        entry[field] = unquote(rest)
    for e in entries:
        if "msgid" in e and "msgstr" in e and "msgid_plural" not in e and "msgctxt" not in e and e["msgid"]:
            messages[e["msgid"]] = e["msgstr"]
    return messages


def mo_messages(path):
    with open(path, "rb") as f:
        catalog = gettext.GNUTranslations(f)
    return catalog


def usable(text):
    # Messages with system-dependent segments ("%<PRIuMAX>") are left out:
    # Python's reader, the tests' oracle, does not expand them.
    return (text != "" and text == text.strip() and not text.startswith("<") and "%<" not in text
            and all(ord(c) >= 0x20 and c != "\u3000" for c in text))


def main():
    mode, out, domain, langs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    po = {lang: po_messages(mo_path(domain, lang)) for lang in langs}
    common = [m for m in sorted(po[langs[0]]) if usable(m)
              and all(usable(po[lang].get(m, "")) for lang in langs)]
    with open(out, "wb") as f:
        if mode == "book":
            header = ["<Latn>English"] + ["<%s>%s" % SCRIPTS[lang] for lang in langs]
            f.write(("\r\n".join(header) + "\r\n\r\n").encode("utf-8"))
            for m in common:
                f.write(("\r\n".join([m] + [po[lang][m] for lang in langs]) + "\r\n\r\n").encode("utf-8"))
        else:
            mo = {lang: mo_messages(mo_path(domain, lang)) for lang in langs}
            for m in common:
                f.write(("\t".join([m] + [mo[lang].gettext(m) for lang in langs]) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main()
