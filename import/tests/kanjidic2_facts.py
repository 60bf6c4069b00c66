#!/usr/bin/env python3
# The facts of every kanji in Debian's kanjidic2.xml that a KANJIDIC line also
# carries, one line per kanji, in the layout the KANJIDIC import test builds:
#   literal TAB u=ucs r=radical g=grade s=first-stroke-count
#           TAB on,on TAB kun,kun TAB meaning|meaning
# (u=, r=, g=, s= in the order the line holds them is not known here, so they
# are printed sorted; the test sorts its own the same way.)
import gzip
import sys
import xml.etree.ElementTree as ET

path = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/edict/kanjidic2.xml.gz"
out = sys.stdout
for _, character in ET.iterparse(gzip.open(path), events=("end",)):
    if character.tag != "character":
        continue
    literal = character.findtext("literal")
    fields = []
    for cp in character.iter("cp_value"):
        if cp.get("cp_type") == "ucs":
            fields.append("u=" + cp.text)
    # KANJIDIC's B field is Nelson's radical where it differs from the
    # classical one, which kanjidic2 then gives as "nelson_c".
    radicals = {rad.get("rad_type"): rad.text for rad in character.iter("rad_value")}
    radical = radicals.get("nelson_c", radicals.get("classical"))
    if radical:
        fields.append("r=" + radical)
    misc = character.find("misc")
    if misc is not None and misc.findtext("grade"):
        fields.append("g=" + misc.findtext("grade"))
    strokes = misc.findall("stroke_count") if misc is not None else []
    if strokes:
        fields.append("s=" + strokes[0].text)
    on, kun, meanings = [], [], []
    for reading in character.iter("reading"):
        if reading.get("r_type") == "ja_on":
            on.append(reading.text)
        elif reading.get("r_type") == "ja_kun":
            kun.append(reading.text)
    # A KANJIDIC line gives its name readings (after "T1") and radical names
    # (after "T2") as readings too, in that order after the kun readings.
    kun += [nanori.text for nanori in character.iter("nanori")]
    kun += [name.text for name in character.iter("rad_name")]
    # Kun readings in katakana (units such as インチ) stand among the katakana
    # readings of a KANJIDIC line, whose format makes every katakana reading
    # an on reading.
    on += [k for k in kun if "\u30a1" <= k.lstrip("-")[:1] <= "\u30fe"]
    kun = [k for k in kun if not "\u30a1" <= k.lstrip("-")[:1] <= "\u30fe"]
    for meaning in character.iter("meaning"):
        if meaning.get("m_lang") is None:
            meanings.append(meaning.text)
    out.write("\t".join([literal, " ".join(sorted(fields)), ",".join(on), ",".join(kun), "|".join(meanings)]) + "\n")
    character.clear()
