# Sourced: ready_wine_prefix TREE makes $WINEPREFIX ready for a run of the
# build tree TREE. Every prefix of a tree (the tests' own, each end-to-end
# lane's, the bench pass's) is a clone of the tree's one made prefix,
# TREE/prefix-template, which wineboot makes once, with the program's faces.
# Wine's libraries and tables are over half a gigabyte a prefix and Wine
# never writes them once the prefix is made, so a clone links them; the
# files Wine does write (its registries, win.ini, the fonts folder) are
# copies of the clone's own. Six prefixes made one by one filled a CI
# machine's disk; clones cost it one prefix, and no lane waits for a
# wineboot of its own.
# Descriptors 8 and 9 are the callers' locks: a Wine server started here
# outlives its command and must not hold them.
wine_prefix_ci=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The files a made prefix shares with its clones: Wine's own PE images and
# tables, by their names' endings.
wine_prefix_shared='.*\.\(dll\|exe\|drv\|sys\|ocx\|acm\|cpl\|tlb\|vxd\|ds\|nls\|msstyles\|mod\)'

make_wine_prefix_template() {
  local template=$1
  rm -rf "$template"
  WINEPREFIX=$template wineboot -i >/dev/null 2>&1 8>&- 9>&- || true
  WINEPREFIX=$template wineserver -w 8>&- 9>&-
  if [ ! -f "$template/system.reg" ]; then
    echo "wine-prefix.sh: wineboot made no prefix in $template" >&2
    return 1
  fi
  WINEPREFIX=$template "$wine_prefix_ci/wine-fonts.sh" 8>&- 9>&-
  WINEPREFIX=$template wineserver -w 8>&- 9>&-
  touch "$template/.made"
}

clone_wine_prefix() {
  local template=$1 clone=$2 partial=$2.cloning
  rm -rf "$partial"
  cp -a --link "$template" "$partial"
  rm -f "$partial/.made"
  # Unlink what Wine writes: a write through a link would change the template
  # and every other clone with it.
  find "$partial" -type f ! -iregex "$wine_prefix_shared" -exec sh -c \
    'for file; do cp -p "$file" "$file.copy" && mv -f "$file.copy" "$file"; done' sh {} +
  rm -rf "$clone"
  mv "$partial" "$clone"
}

ready_wine_prefix() {
  local template=$1/prefix-template
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  mkdir -p "$1" "$(dirname "$WINEPREFIX")"
  (
    flock 9
    [ -f "$template/.made" ] || make_wine_prefix_template "$template"
  ) 9>"$template.lock" || return 1
  (
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || clone_wine_prefix "$template" "$WINEPREFIX"
  ) 9>"$WINEPREFIX.lock"
}
