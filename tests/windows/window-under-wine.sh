#!/usr/bin/env bash
# The Windows build of the window, started under Wine on a virtual display
# with a copy of a real level on its command line: it shows, opens the level,
# keeps its settings in the registry (HKEY_CURRENT_USER\Software\Orvel\Vantrel)
# and writes a picture of its window (kept as BUILD_DIR/window-under-wine.png
# for a person to look at).
#   window-under-wine.sh BUILD_DIR CORPUS_DIR SOURCE_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
corpus=$2
wine_run=$3/scripts/wine-run.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# The window's own platform on Windows (the tests of this build use Qt's offscreen one).
unset QT_QPA_PLATFORM

[ -d "$corpus/levels" ] || { echo "the level corpus is absent: skipped"; exit 0; }
command -v xvfb-run >/dev/null || fail "xvfb-run is missing (Debian: xvfb)"
level=$scratch/042.level
cp "$corpus/levels/Tutorials/rnd_tutorial_niko_boehm/042.level" "$level"
chmod u+w "$level"

# The program runs from a folder laid out as the installer lays it out.
app=$scratch/app
mkdir -p "$app/platforms" "$app/styles"
cp "$build/vantrel.exe" "$build"/kit/bin/*.dll "$app/"
cp "$build/kit/plugins/platforms/qwindows.dll" "$app/platforms/"
cp "$build"/kit/plugins/styles/*.dll "$app/styles/" 2>/dev/null || true

# The game's data directory, set where Windows programs keep their settings.
key='HKEY_CURRENT_USER\Software\Orvel\Vantrel'
"$wine_run" reg add "$key" /v datadir /t REG_SZ /d "Z:${corpus//\//\\}" /f >/dev/null 2>&1 ||
    fail "reg add $key"

shot=$scratch/window.png
VANTREL_SCREENSHOT="Z:${shot//\//\\}" timeout 180 xvfb-run -a -s "-screen 0 1280x900x24" \
    "$wine_run" "$app/vantrel.exe" "Z:${level//\//\\}" >"$scratch/out.log" 2>&1
status=$?
[ $status -eq 0 ] || { cat "$scratch/out.log" >&2; fail "vantrel.exe ended with $status"; }
[ -s "$shot" ] || fail "no picture of the window"
cp "$shot" "$build/window-under-wine.png"

# A PNG of a window of some size: its signature, then the width and height of IHDR.
[ "$(head -c 8 "$shot" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "the picture is no PNG"
size=$(od -An -tu1 -j16 -N8 "$shot" | awk '{print ($1*16777216+$2*65536+$3*256+$4) " " ($5*16777216+$6*65536+$7*256+$8)}')
read -r width height <<<"$size"
[ "$width" -ge 400 ] && [ "$height" -ge 300 ] || fail "the window is ${width}x${height}"
# A window with its pages and a level's values packs into tens of kilobytes; one
# of a single colour (nothing drawn) into one or two.
[ "$(stat -c %s "$shot")" -ge 10000 ] || fail "the picture of the window is of one colour: nothing was drawn"

# The load went into the settings as Windows programs keep them: the recent files in the registry.
query=$("$wine_run" reg query "$key" 2>/dev/null | tr -d '\r')
grep -q "datadir" <<<"$query" || fail "no datadir in the registry: $query"
grep -qi "recentfile1.*042.level" <<<"$query" || fail "the level is not among the recent files: $query"
echo "vantrel.exe showed ${width}x${height} with the level open; settings in $key"
