#!/usr/bin/env bash
# Builds the game for the judge tests: its source and dump patch from the
# shared game folder (second argument, default ../shared/game beside the
# project), with the lines of dump-elements.c added to its level dump (every
# element code a custom element names, and its other settings). Prints the
# path of the executable, as the shared build script does, and keeps the
# build in DIR (first argument) while nothing of it changes.
set -u
here=$(cd "$(dirname "$0")" && pwd)
dir=${1:?the build folder}
game=${2:-$here/../../../shared/game}
[ -f "$game/source.tar.gz" ] && [ -f "$game/dump.patch" ] && [ -x "$game/build.sh" ] \
  || { echo "no game source in $game"; exit 1; }
kit="$dir/kit"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$kit" "$work/a" "$work/b"
tar -xzf "$game/source.tar.gz" -C "$work/a" game/src/files.c game/src/init.c || { echo "cannot unpack the game's source"; exit 1; }
cp -r "$work/a/game" "$work/b/"
(cd "$work/b/game" && patch -p1 -s <"$game/dump.patch") || { echo "dump.patch does not apply"; exit 1; }
# The added lines go before the first "if (options.debug)" after the dump's own lines.
awk -v add="$here/dump-elements.c" '
  /GAMEDUMP: machine-readable/ { seen = 1 }
  seen == 1 && /^  if \(options\.debug\)/ { while ((getline line < add) > 0) print line; seen = 2 }
  { print }
  END { if (seen != 2) exit 1 }' "$work/b/game/src/files.c" >"$work/files.c" \
  || { echo "the game's dump has no place for the added lines"; exit 1; }
mv "$work/files.c" "$work/b/game/src/files.c"
# No dates in the patch: the build is kept while the patch's text is the same.
(cd "$work" && diff -ru a/game b/game | sed -e 's|^--- a/game/\([^\t]*\).*|--- a/\1|' \
  -e 's|^+++ b/game/\([^\t]*\).*|+++ b/\1|' >"$kit/dump.patch.new")
if ! cmp -s "$kit/dump.patch.new" "$kit/dump.patch" 2>/dev/null; then mv "$kit/dump.patch.new" "$kit/dump.patch"; else rm "$kit/dump.patch.new"; fi
ln -sf "$(cd "$game" && pwd)/source.tar.gz" "$kit/source.tar.gz"
cp "$game/build.sh" "$kit/build.sh"
exec "$kit/build.sh" "$dir"
