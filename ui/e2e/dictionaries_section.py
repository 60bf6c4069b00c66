#!/usr/bin/env python3
"""Reads the settings file the dictionaries dialog's end-to-end test left
(UTF-16, converted by iconv) with Python's configparser, an outside reader of
the program's ini format, and checks the [Dictionaries] section: each file
once, the states the test left, and the working dictionary."""
import configparser
import subprocess
import sys

ini = sys.argv[1] + "/ui/e2e-runs/DictionaryDialogs.Installed/AppData/OstrelPro/OstrelPro.ini"
text = subprocess.run(["iconv", "-f", "UTF-16", "-t", "UTF-8", ini], check=True, capture_output=True).stdout
parser = configparser.ConfigParser(interpolation=None, strict=False)
parser.optionxform = str
parser.read_string(text.decode("utf-8"))
section = parser["Dictionaries"]
entries = [section[key] for key in section if key.startswith("File") and section[key]]
states = {}
for entry in entries:
    path, _, state = entry.rpartition(",")
    name = path.rsplit("\\", 1)[-1]
    if name in states:
        sys.exit("%s listed twice" % name)
    states[name] = state
expected = {"edict-slice.qdx": "0", "kanjidic-slice.qdx": "2"}
for name, state in expected.items():
    if states.get(name) != state:
        sys.exit("%s: state %r, expected %r (%s)" % (name, states.get(name), state, states))
if not section.get("Working", "").endswith("\\Mine.qdx") or "Mine.qdx" not in states:
    sys.exit("the new dictionary is not the working one: %r" % section.get("Working"))
print("dictionaries section: %d files, states %s" % (len(states), states))
