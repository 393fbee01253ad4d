#!/usr/bin/env bash
# Takes pictures of the window for a person to look at: every page with a
# level of the corpus loaded, the CE Manager's sub-pages, the level view
# scrolled with a selection, and the palette.
#
#   scripts/screenshots.sh [FOLDER]     (default: build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/screenshots}"
mkdir -p "$out"
cmake --build build --target vantrel-screenshots
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" build/tools/vantrel-screenshots "$out"
