# LibreOffice as an independent reader of an exported document: converted to
# text, it must hold the headword of every exported EDICT entry, in the
# order of the source (the list order of the export).
# usage: libreoffice_order_check.py EDICT_ENTRIES DOCUMENT.rtf WORK_DIR
# (EDICT_ENTRIES as given to edict_markup.py, the header line among them)
import re
import sys

sys.dont_write_bytecode = True  # the checkout stays as it was
from libreoffice_text import read_or_skip  # noqa: E402

entries, document, work = int(sys.argv[1]), sys.argv[2], sys.argv[3]
with open(document, "rb") as f:
    raw = f.read()
if re.search(rb"(?<!\r)\n", raw):
    print("the document has a line feed without a carriage return")
    sys.exit(1)
text = read_or_skip(document, work)
source = open("/usr/share/edict/edict", encoding="euc-jp", errors="replace").read().split("\n")[1:entries]  # the first entry is the header line
at, found = 0, 0
for line in source:
    head = line.split(" ", 1)[0]
    position = text.find(head, at)
    if position < 0:
        print(f"headword {head!r} not found after offset {at} (entry {found + 1})")
        sys.exit(1)
    at, found = position, found + 1
print(f"LibreOffice read all {found} headwords in list order")
