#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds both trees and starts OstrelPro.exe under
# Wine in a private prefix (build/win/run-prefix), whose Documents and AppData
# folders lie inside the prefix. Debian's EDICT and KANJIDIC, and a Latin
# dictionary converted from Debian's collatinus lexicon, are compiled into the
# program's Dictionaries folder there when they are not there yet.
set -euo pipefail
cd "$(dirname "$0")"
tools/ci/install-deps.sh
OSTREL_SANITIZE=${OSTREL_SANITIZE:-OFF} tools/ci/build-trees.sh

exe=build/win/OstrelPro.exe
if [ ! -f "$exe" ]; then
  echo "Everything is built, but the program itself (OstrelPro.exe) is not there yet."
  exit 0
fi
export WINEPREFIX="$PWD/build/win/run-prefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
  wine reg add "$folders" /v Personal /t REG_EXPAND_SZ /d 'C:\OstrelPro\Documents' /f >/dev/null
  wine reg add "$folders" /v AppData /t REG_EXPAND_SZ /d 'C:\OstrelPro\AppData' /f >/dev/null
  wineserver -w
fi

dictionaries="$WINEPREFIX/drive_c/OstrelPro/Documents/OstrelPro/Dictionaries"
mkdir -p "$dictionaries" "$WINEPREFIX/drive_c/OstrelPro/AppData"
for source in /usr/share/edict/edict /usr/share/edict/kanjidic; do
  target="$dictionaries/$(basename "$source").qdx"
  [ -f "$target" ] || [ ! -r "$source" ] && continue
  echo "Compiling $source into the program's Dictionaries folder"
  build/native/tools/qdxc "$source" "$target" 2>/dev/null || { echo "  (not compiled)"; rm -f "$target"; }
done

# A Latin dictionary: Debian's collatinus lexicon converted into the
# analyser's word list, compiled beside its two data files.
latin="$dictionaries/latin.qdx"
if [ ! -f "$latin" ] && [ -r /usr/share/collatinus/data/lemmes.la ]; then
  echo "Converting Debian's collatinus Latin lexicon and compiling it into the program's Dictionaries folder"
  work=build/win/latin-wordlist
  mkdir -p "$work"
  cp build/native/latin/data/INFLECTS.SEC build/native/latin/data/ADDONS.LAT "$work/"
  if python3 tools/latin_wordlist/collatinus_wordlist.py --out "$work/latin.txt" --report "$work/report.txt"; then
    build/native/tools/qdxc "$work/latin.txt" "$latin" 2>/dev/null || { echo "  (not compiled)"; rm -f "$latin"; }
  fi
fi

if [ -z "${DISPLAY:-}" ]; then
  # A display of its own; the program keeps its private prefix.
  exec tools/ci/with-display.sh env WINEPREFIX="$WINEPREFIX" wine "$exe" "$@"
fi
exec wine "$exe" "$@"
