#!/usr/bin/env python3
"""The three help files as an outside reader sees them: extract_chmLib
(libchm-bin) unpacks each compiled file, and every page the program's topic
table names (ui/start_rules.cpp) must be in each, under /html/, with its
anchor, a title and text in that file's language; a page's title differs from
language to language.

    check_help_files.py BUILD_TREE START_RULES_CPP
"""
import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile

LANGUAGES = {
    "En": lambda c: "a" <= c.lower() <= "z",
    "Ru": lambda c: "\u0400" <= c <= "\u04ff",
    "Jp": lambda c: "\u3040" <= c <= "\u30ff" or "\u4e00" <= c <= "\u9fff",
}


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.title, self.text, self.ids, self._in = "", "", set(), None

    def handle_starttag(self, tag, attrs):
        self._in = tag
        self.ids.update(value for name, value in attrs if name == "id")

    def handle_endtag(self, tag):
        self._in = None

    def handle_data(self, data):
        if self._in == "title":
            self.title += data
        elif self._in not in ("style", "script"):
            self.text += data


def topic_pages(start_rules):
    source = open(start_rules, encoding="utf-8").read()
    table = source[source.index("kHelpTopics[] = {"):]
    table = table[:table.index("};")]
    return re.findall(r'\{(\d+), u"([^"]+)"\}', table)


def main(tree, start_rules):
    topics = topic_pages(start_rules)
    if len(topics) < 30:
        return f"the topic table of {start_rules} holds {len(topics)} topics"
    if shutil.which("extract_chmLib") is None:
        return "extract_chmLib (libchm-bin) is not installed"
    faults, titles = [], {}
    for language, in_script in LANGUAGES.items():
        chm = os.path.join(tree, f"OstrelPro{language}.chm")
        if not os.path.isfile(chm):
            faults.append(f"{chm} is not there")
            continue
        with tempfile.TemporaryDirectory() as out:
            run = subprocess.run(["extract_chmLib", chm, out], capture_output=True, text=True)
            if run.returncode != 0:
                faults.append(f"extract_chmLib {chm}: exit {run.returncode}")
                continue
            for topic, target in topics:
                page, _, anchor = target.partition("#")
                path = os.path.join(out, "html", page)
                if not os.path.isfile(path):
                    faults.append(f"{language}: topic {topic}: no /html/{page}")
                    continue
                parsed = Page()
                parsed.feed(open(path, encoding="utf-8").read())
                letters = [c for c in parsed.text if c.isalpha()]
                share = sum(map(in_script, letters)) / max(len(letters), 1)
                if not parsed.title.strip():
                    faults.append(f"{language}: {page} has no title")
                if len(letters) < 80 or share < 0.6:
                    faults.append(f"{language}: {page}: {len(letters)} letters, {share:.0%} in the file's language")
                if anchor and anchor not in parsed.ids:
                    faults.append(f"{language}: {page} has no anchor {anchor}")
                titles.setdefault(page, {})[language] = parsed.title.strip()
    for page, by_language in titles.items():
        if len(set(by_language.values())) != len(by_language):
            faults.append(f"{page}: one title in two languages: {by_language}")
    if faults:
        return "\n".join(faults)
    print(f"{len(topics)} topics in each of {len(LANGUAGES)} help files")
    return None


if __name__ == "__main__":
    fault = main(*sys.argv[1:3])
    if fault:
        print(fault)
        sys.exit(1)
