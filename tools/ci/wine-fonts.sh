#!/usr/bin/env bash
# The faces of a Wine prefix of the program (./run.sh's and every test's),
# from Debian's fonts: the Japanese faces the program and Wine's menus ask
# for are IPAPGothic ("MS UI Gothic", proportional as it is) and IPAGothic
# ("MS Gothic", of fixed width). IPAGothic's hinting rounds the low line to
# no height at most sizes below 21 pixels (12 and 16 among them), so names
# such as mini2_edict.txt lost their underscores in the Japanese interface's
# dialogs and lists; IPAPGothic draws it at every size. The interface face
# Wine draws menus and dialogs in ("MS Shell Dlg", that is "Tahoma") is DejaVu
# Sans with IPAGothic linked behind it for kana and kanji. Without a Tahoma of
# its own Wine draws the interface face from its Japanese link alone, whose
# Cyrillic letters are each a full-width cell. Wine finds a face's links by
# its full name, so the bold face title bars are drawn in ("DejaVu Sans
# Condensed Bold") and the oblique ones get links of their own. The window
# metrics (title bars, menus, message boxes, status bars) name "Tahoma"
# itself rather than "MS Shell Dlg": under a Japanese locale Wine makes "MS
# Shell Dlg" "MS UI Gothic" (IPAPGothic), whose Cyrillic letters are full-width.
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
# default set, and keeps its face), and "MS Mincho" is IPAMincho. Phonetic
# letters (IPA transcriptions with their stress and length marks) are named
# "Arial Unicode MS", which is DejaVu Sans: WenQuanYi Micro Hei has none of
# them and drew each as an empty box. The ExtB faces, named only for the supplementary planes, are left unknown (the
# program asks whether they are installed): Wine gives their character sets
# WenQuanYi Micro Hei all the same.
# Run with WINEPREFIX set; a prefix that has the faces already is left alone.
set -euo pipefail
# A text's UTF-16LE bytes as the registry file writes them ("54,00,61,00").
utf16_hex() { printf '%s' "$1" | iconv -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//'; }
# A LOGFONTW of the window metrics' size (-11, 8 points at 96 dots per
# inch, as Wine writes them), weight $1, variable pitch, Swiss, face $2.
window_metrics_font() {
  local hex
  hex="f5,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,$(printf '%02x,%02x' $(($1 & 255)) $(($1 >> 8))),00,00"
  hex+=",00,00,00,00,00,00,00,22,$(utf16_hex "$2")"
  while [ ${#hex} -lt 275 ]; do hex+=",00"; done
  echo "${hex//,/}"
}
# Where Wine draws a window's frame itself (a display without a window
# manager) it draws the title bar's buttons from its Marlett symbol face,
# looked for among the prefix's fonts: without it they show as "0 1 r".
marlett=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -r "$marlett" ] && [ ! -f "$fonts/marlett.ttf" ]; then
  mkdir -p "$fonts"
  cp "$marlett" "$fonts/"
fi
user="$WINEPREFIX/user.reg" system="$WINEPREFIX/system.reg"
if grep -q '"Tahoma"="DejaVu Sans Condensed"' "$user" 2>/dev/null && grep -q '"MS UI Gothic"="IPAPGothic"' "$user" &&
   grep -q '^"DejaVu Sans Condensed"=str(7):"ipag.ttf,IPAGothic' "$system" 2>/dev/null &&
   grep -q '"PMingLiU"="WenQuanYi Micro Hei"' "$user" && grep -q '"Arial Unicode MS"="DejaVu Sans"' "$user" &&
   grep -q '^"Arial,0"="WenQuanYi Micro Hei,0"' "$system" &&
   grep -q '^"DejaVu Sans Condensed Bold Oblique"=str(7):"ipag.ttf,IPAGothic' "$system" &&
   sed -e ':a' -e '/\\$/{N;s/\\\n *//;ba' -e '}' "$user" | grep "^\"IconFont\"=hex:.*,22,$(utf16_hex Tahoma),00,00," >/dev/null; then
  exit 0
fi
replacements='HKCU\Software\Wine\Fonts\Replacements'
links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
wine reg add "$replacements" /v "MS UI Gothic" /t REG_SZ /d IPAPGothic /f >/dev/null
wine reg add "$replacements" /v "MS Gothic" /t REG_SZ /d IPAGothic /f >/dev/null
wine reg add "$replacements" /v Tahoma /t REG_SZ /d "DejaVu Sans Condensed" /f >/dev/null
wine reg add "$links" /v "DejaVu Sans Condensed" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null
wine reg add "$replacements" /v "MS Mincho" /t REG_SZ /d IPAMincho /f >/dev/null
wine reg add "$replacements" /v "Arial Unicode MS" /t REG_SZ /d "DejaVu Sans" /f >/dev/null
for face in Gulim SimSun PMingLiU; do
  wine reg add "$replacements" /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null
done
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "Arial,0" /t REG_SZ \
  /d "WenQuanYi Micro Hei,0" /f >/dev/null
for face in "DejaVu Sans Condensed Bold" "DejaVu Sans Condensed Oblique" "DejaVu Sans Condensed Bold Oblique"; do
  wine reg add "$links" /v "$face" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null
done
metrics='HKCU\Control Panel\Desktop\WindowMetrics'
wine reg add "$metrics" /v CaptionFont /t REG_BINARY /d "$(window_metrics_font 700 Tahoma)" /f >/dev/null
for font in SmCaptionFont MenuFont StatusFont MessageFont IconFont; do
  wine reg add "$metrics" /v $font /t REG_BINARY /d "$(window_metrics_font 400 Tahoma)" /f >/dev/null
done
