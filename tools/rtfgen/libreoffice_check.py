# LibreOffice as an independent reader of rtfgen's documents: a compiled EDICT
# sample rendered in print mode (coloured, bold heads, styles, three columns)
# and converted to text and to flat ODF in one call. The text must hold every
# reading, headword and gloss of the source lines; the ODF the bold and
# coloured spans, the paragraph style names and the column count.
# usage: libreoffice_check.py EDICT_LINES DOCUMENT.rtf WORK_DIR
import re
import shutil
import subprocess
import sys

lines_wanted, document, work = int(sys.argv[1]), sys.argv[2], sys.argv[3]
if shutil.which("soffice") is None:
    print("LibreOffice is not installed: skipped")
    sys.exit(0)
subprocess.run(["soffice", "-env:UserInstallation=file://" + work + "/profile", "--headless", "--convert-to",
                "txt:Text:UTF8", "--outdir", work + "/txt", document], check=True, capture_output=True)
subprocess.run(["soffice", "-env:UserInstallation=file://" + work + "/profile", "--headless", "--convert-to",
                "fodt", "--outdir", work + "/fodt", document], check=True, capture_output=True)
name = document.rsplit("/", 1)[-1].rsplit(".", 1)[0]
text = open(f"{work}/txt/{name}.txt", encoding="utf-8-sig").read()
odf = open(f"{work}/fodt/{name}.fodt", encoding="utf-8").read()

# The sample holds the first `lines_wanted` lines, the header line among them.
source = open("/usr/share/edict/edict", encoding="euc-jp", errors="replace").read().split("\n")[1:lines_wanted]
missing, checked = [], 0
for line in source:
    m = re.match(r"^(\S+)(?: \[(\S+)\])? /(.*)/$", line)
    if not m:
        continue
    parts = [m.group(1)] + ([m.group(2)] if m.group(2) else []) + \
        [g for g in m.group(3).split("/") if g and not g.startswith("EntL")]
    for part in parts:
        checked += 1
        if part not in text:
            missing.append(part)
problems = []
if missing:
    problems.append(f"{len(missing)} of {checked} parts missing, first: {missing[:3]}")
for wanted in ['fo:column-count="3"', 'fo:font-weight="bold"', 'fo:color="#7f0000"', 'fo:color="#00007f"',
               'style:name="Rading"', 'text:style-name="Rading"', 'text:style-name="Kanji"']:
    if wanted not in odf:
        problems.append("no " + wanted + " in the flat ODF")
if problems:
    print("\n".join(problems))
    sys.exit(1)
print(f"LibreOffice read all {checked} parts of {len(source)} EDICT lines; spans, styles and columns present")
