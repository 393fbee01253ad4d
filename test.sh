#!/usr/bin/env bash
# Builds Vantrel and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
vantrel_install_packages
vantrel_build
vantrel_build_game
# A short run of every fuzz target when clang is there (it says so when not).
fuzz/smoke.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
# Vantrel for Windows: cross-built, its tests run under Wine and its output held against this build's.
scripts/windows.sh test
