#!/usr/bin/env bash
# The faces of a Wine prefix of the program (./run.sh's and every test's),
# from Debian's fonts: the Japanese faces the program and Wine's menus ask
# for ("MS UI Gothic", "MS Gothic") are IPAGothic, and the interface face
# Wine draws menus and dialogs in ("MS Shell Dlg", that is "Tahoma") is DejaVu
# Sans with IPAGothic linked behind it for kana and kanji. Without a Tahoma of
# its own Wine draws the interface face from its Japanese link alone, whose
# Cyrillic letters are each a full-width cell.
# The article renderers' RTF names a face per script with its character set
# ("MS Mincho" 128, "SimSun" 134, "PMingLiU" 136, "Gulim" 129, and "Arial" 0
# for what no other face is named for: full-width forms,
# and on Windows any character Arial lacks, by the system's fallback). Wine
# gives a name it does not know a face that claims the character set asked
# for, and the IPA faces claim only the Japanese one, so those names fell to
# a DejaVu face without kana or kanji (a replacement by IPAGothic is refused
# for the same reason, and the rich edit draws with the face's own glyphs,
# not through font links): they are WenQuanYi Micro Hei, which claims every
# CJK character set and holds kana, kanji and full-width forms, "Arial" only
# for character set 0 (the program's own Latin text asks for 204 or the
# default set, and keeps its face), and "MS Mincho" is IPAMincho. The ExtB
# faces, named only for the supplementary planes, are left unknown (the
# program asks whether they are installed): Wine gives their character sets
# WenQuanYi Micro Hei all the same.
# Run with WINEPREFIX set; a prefix that has the faces already is left alone.
set -euo pipefail
user="$WINEPREFIX/user.reg" system="$WINEPREFIX/system.reg"
if grep -q '"Tahoma"="DejaVu Sans Condensed"' "$user" 2>/dev/null && grep -q '"MS UI Gothic"="IPAGothic"' "$user" &&
   grep -q '^"DejaVu Sans Condensed"=str(7):"ipag.ttf,IPAGothic' "$system" 2>/dev/null &&
   grep -q '"PMingLiU"="WenQuanYi Micro Hei"' "$user" &&
   grep -q '^"Arial,0"="WenQuanYi Micro Hei,0"' "$system"; then
  exit 0
fi
replacements='HKCU\Software\Wine\Fonts\Replacements'
links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in "MS UI Gothic" "MS Gothic"; do
  wine reg add "$replacements" /v "$face" /t REG_SZ /d IPAGothic /f >/dev/null
done
wine reg add "$replacements" /v Tahoma /t REG_SZ /d "DejaVu Sans Condensed" /f >/dev/null
wine reg add "$links" /v "DejaVu Sans Condensed" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null
wine reg add "$replacements" /v "MS Mincho" /t REG_SZ /d IPAMincho /f >/dev/null
for face in "Arial Unicode MS" Gulim SimSun PMingLiU; do
  wine reg add "$replacements" /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null
done
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "Arial,0" /t REG_SZ \
  /d "WenQuanYi Micro Hei,0" /f >/dev/null
