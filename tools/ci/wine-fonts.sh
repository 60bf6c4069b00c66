#!/usr/bin/env bash
# The faces of a Wine prefix of the program (./run.sh's and every test's),
# from Debian's fonts: the Japanese faces the program and Wine's menus ask
# for ("MS UI Gothic", "MS Gothic") are IPAGothic, and the interface face
# Wine draws menus and dialogs in ("MS Shell Dlg", that is "Tahoma") is DejaVu
# Sans with IPAGothic linked behind it for kana and kanji. Without a Tahoma of
# its own Wine draws the interface face from its Japanese link alone, whose
# Cyrillic letters are each a full-width cell. Run with WINEPREFIX set; a
# prefix that has the faces already is left alone.
set -euo pipefail
user="$WINEPREFIX/user.reg" system="$WINEPREFIX/system.reg"
if grep -q '"Tahoma"="DejaVu Sans Condensed"' "$user" 2>/dev/null && grep -q '"MS UI Gothic"="IPAGothic"' "$user" &&
   grep -q '^"DejaVu Sans Condensed"=str(7):"ipag.ttf,IPAGothic' "$system" 2>/dev/null; then
  exit 0
fi
replacements='HKCU\Software\Wine\Fonts\Replacements'
links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in "MS UI Gothic" "MS Gothic"; do
  wine reg add "$replacements" /v "$face" /t REG_SZ /d IPAGothic /f >/dev/null
done
wine reg add "$replacements" /v Tahoma /t REG_SZ /d "DejaVu Sans Condensed" /f >/dev/null
wine reg add "$links" /v "DejaVu Sans Condensed" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null
