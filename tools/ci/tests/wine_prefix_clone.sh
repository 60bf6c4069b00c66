#!/usr/bin/env bash
# A clone of a made prefix shares Wine's libraries with it and owns the
# files Wine writes: a write to a clone's registry or win.ini leaves the
# made prefix and the other clones as they were; the drive letters still
# lead into the clone's own drive.
set -euo pipefail
. "$(dirname "$0")/../wine-prefix.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

template=$work/prefix-template
mkdir -p "$template/drive_c/windows/system32" "$template/drive_c/windows/Fonts" "$template/dosdevices"
printf 'MZ shell' > "$template/drive_c/windows/system32/shell32.dll"
printf 'MZ WINE' > "$template/drive_c/windows/system32/L_INTL.NLS"
printf '[fonts]\n' > "$template/drive_c/windows/win.ini"
printf 'marlett' > "$template/drive_c/windows/Fonts/marlett.ttf"
printf 'WINE REGISTRY\n' > "$template/system.reg"
printf 'WINE REGISTRY\n' > "$template/user.reg"
ln -s ../drive_c "$template/dosdevices/c:"
touch "$template/.made"

clone_wine_prefix "$template" "$work/e2e-prefix"
clone_wine_prefix "$template" "$work/e2e-prefix-2"
clone=$work/e2e-prefix
inode() { stat -c %i "$1"; }

for shared in drive_c/windows/system32/shell32.dll drive_c/windows/system32/L_INTL.NLS; do
  [ "$(inode "$template/$shared")" = "$(inode "$clone/$shared")" ] || fail "$shared is copied, not linked"
done
for own in system.reg user.reg drive_c/windows/win.ini drive_c/windows/Fonts/marlett.ttf; do
  [ "$(inode "$template/$own")" != "$(inode "$clone/$own")" ] || fail "$own is linked to the made prefix"
  cmp -s "$template/$own" "$clone/$own" || fail "$own differs from the made prefix's"
done
[ "$(readlink "$clone/dosdevices/c:")" = ../drive_c ] || fail "c: leads to $(readlink "$clone/dosdevices/c:")"
[ ! -e "$clone/.made" ] || fail "the clone is marked as a made prefix"
[ ! -e "$clone.cloning" ] || fail "the clone's partial copy is left"

# Wine rewrites its files in place: the other prefixes see none of it.
printf '"Tahoma"="DejaVu Sans Condensed"\n' >> "$clone/user.reg"
printf '[windows]\n' >> "$clone/drive_c/windows/win.ini"
for other in "$template" "$work/e2e-prefix-2"; do
  [ "$(cat "$other/user.reg")" = "WINE REGISTRY" ] || fail "a clone's registry write reached $other"
  [ "$(cat "$other/drive_c/windows/win.ini")" = "[fonts]" ] || fail "a clone's win.ini write reached $other"
done

# A clone cut short is made again whole, over what it left.
mkdir -p "$work/e2e-prefix-3.cloning/drive_c"
clone_wine_prefix "$template" "$work/e2e-prefix-3"
cmp -s "$template/system.reg" "$work/e2e-prefix-3/system.reg" || fail "the prefix cloned after a cut has no registry"
echo "clones share the libraries and own what Wine writes"
