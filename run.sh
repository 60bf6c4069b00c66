#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the program and starts OstrelPro.exe
# under Wine in a private prefix (build/run/prefix), whose Documents and
# AppData folders lie inside the prefix. Debian's EDICT and KANJIDIC are
# compiled into the program's Dictionaries folder there when they are not
# there yet, and so is a Latin dictionary converted from Debian's collatinus
# lexicon. Arguments go to the program; a file given by its Linux path is
# passed as its Windows path (a dictionary, a source file or a saved list).
# The build trees are its own (build/run/native, build/run/win, no
# sanitizers): ./test.sh's trees are left as they are.
set -euo pipefail
cd "$(dirname "$0")"
say() { echo "run.sh: $*"; }

say "checking the packages the build needs"
tools/ci/install-deps.sh
[ -d build/run/win ] || say "building the tools and the program (the first build takes several minutes)"
OSTREL_SANITIZE=OFF OSTREL_WERROR=OFF OSTREL_TEST_TOOLS=OFF \
  OSTREL_NATIVE_TREE=build/run/native OSTREL_WIN_TREE=build/run/win \
  OSTREL_NATIVE_TARGETS="tools/all latin_data" OSTREL_WIN_TARGETS=OstrelPro tools/ci/build-trees.sh

exe=build/run/win/OstrelPro.exe
if [ ! -f "$exe" ]; then
  echo "Everything is built, but the program itself (OstrelPro.exe) is not there yet."
  exit 0
fi
# The prefix of earlier runs, which lay in the test build's tree.
[ -d build/run/prefix ] || [ ! -d build/win/run-prefix ] || mv build/win/run-prefix build/run/prefix
export WINEPREFIX="$PWD/build/run/prefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Without a display the program gets one of its own. It is started before the
# first Wine command, so that all of them (the prefix, its faces, its window
# setting) meet the display the program draws on: a Wine server left by a
# command run without one would keep a desktop that has no driver, and the
# program, started a moment later, would draw no window.
own_display_pid=""
if [ -z "${DISPLAY:-}" ]; then
  # shellcheck source=tools/ci/own-display.sh
  . tools/ci/own-display.sh
  trap 'wineserver -k 2>/dev/null; [ -z "$own_display_pid" ] || kill "$own_display_pid" 2>/dev/null' EXIT
  start_own_display
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "making the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
  wine reg add "$folders" /v Personal /t REG_EXPAND_SZ /d 'C:\OstrelPro\Documents' /f >/dev/null
  wine reg add "$folders" /v AppData /t REG_EXPAND_SZ /d 'C:\OstrelPro\AppData' /f >/dev/null
  wineserver -w
fi
# The faces: IPAPGothic and IPAGothic for the Japanese ones, DejaVu Sans Condensed
# for the interface face with IPAGothic linked behind it (tools/ci/wine-fonts.sh): without them
# kana show as empty boxes and Cyrillic menus are drawn letter-spaced.
tools/ci/wine-fonts.sh

dictionaries="$WINEPREFIX/drive_c/OstrelPro/Documents/OstrelPro/Dictionaries"
mkdir -p "$dictionaries" "$WINEPREFIX/drive_c/OstrelPro/AppData"
# A compiled dictionary about to be made again is moved aside, not deleted:
# articles edited in the program live in it. A copy set aside before is
# kept too: it may hold the edits, and the file made after it none.
set_aside() {
  local aside=$1.old copy=1
  while [ -e "$aside" ]; do copy=$((copy + 1)); aside=$1.old$copy; done
  mv "$1" "$aside"
  say "  the earlier file is kept as $aside"
}
# EDICT compiled before the code that reads its marks into the keys changed
# (the translator reads "(uk)" from them) is compiled again.
edict="$dictionaries/edict.qdx"
if [ -f "$edict" ] && [ -n "$(find import/article_keys.cpp import/edict_parser.cpp -newer "$edict" 2>/dev/null | head -1)" ]; then
  say "the dictionary compiler's keys changed: EDICT is compiled again"
  set_aside "$edict"
fi
for source in /usr/share/edict/edict /usr/share/edict/kanjidic; do
  target="$dictionaries/$(basename "$source").qdx"
  [ -f "$target" ] || [ ! -r "$source" ] && continue
  say "compiling $source into the program's Dictionaries folder (a minute or two, once)"
  start=$(date +%s)
  if build/run/native/tools/qdxc "$source" "$target" 2>/dev/null; then
    say "  done in $(( $(date +%s) - start )) s"
  else
    say "  not compiled"; rm -f "$target"
  fi
done

# A Latin dictionary: Debian's collatinus lexicon converted into the
# analyser's word list, compiled beside its two data files.
# A dictionary older than the converter, the analyser's data or the code that
# writes its records' dictionary forms is made again, so an update of any
# reaches the user; an unchanged tree keeps it from one start to the next.
latin="$dictionaries/latin.qdx"
made_from="tools/latin_wordlist tools/latin_paradigms latin/data latin/dictionary_form.cpp import/latin_word_list.cpp"
# shellcheck disable=SC2086
if [ -f "$latin" ] && [ -n "$(find $made_from -newer "$latin" -type f 2>/dev/null | head -1)" ]; then
  say "the Latin converter or its data changed: the Latin dictionary is made again"
  set_aside "$latin"
fi
if [ ! -f "$latin" ] && [ -r /usr/share/collatinus/data/lemmes.la ]; then
  say "converting Debian's collatinus Latin lexicon and compiling it into the program's Dictionaries folder"
  work=build/run/latin-wordlist
  mkdir -p "$work"
  cp build/run/native/latin/data/INFLECTS.SEC build/run/native/latin/data/ADDONS.LAT "$work/"
  if python3 tools/latin_wordlist/collatinus_wordlist.py --out "$work/latin.txt" --report "$work/report.txt"; then
    build/run/native/tools/qdxc "$work/latin.txt" "$latin" 2>/dev/null || { say "  not compiled"; rm -f "$latin"; }
  fi
fi

arguments=()
for argument in "$@"; do
  if [ -e "$argument" ]; then arguments+=("$(winepath -w "$argument" 2>/dev/null)")
  else arguments+=("$argument"); fi
done
# Wine leaves top-level windows to the window manager and waits up to two
# seconds for it each time one is hidden: on a display without one (run.sh's
# own Xvfb, a bare Xvfb) every dialog or message box that closes would hold
# the program that long. There Wine manages the windows itself.
managed=Y
if [ -z "${DISPLAY:-}" ] || ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  managed=N
fi
if [ "$(cat "$WINEPREFIX/.managed" 2>/dev/null)" != "$managed" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f >/dev/null 2>&1 &&
    echo "$managed" > "$WINEPREFIX/.managed"
fi

say "starting OstrelPro.exe"
if [ -n "$own_display_pid" ]; then
  # The display ends with the program.
  wine "$exe" "${arguments[@]}"
  exit
fi
exec wine "$exe" "${arguments[@]}"
