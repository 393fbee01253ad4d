#!/usr/bin/env bash
# Takes the screenshot the AppStream data names, an example level in the
# Level View, with the real window under Xvfb, into resources/desktop/level-view.png.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cmake --build build --target vantrel-screenshots
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb build/tools/vantrel-screenshots "$out" >/dev/null
cp "$out/appstream.png" resources/desktop/level-view.png
echo resources/desktop/level-view.png
