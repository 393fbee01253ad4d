#!/usr/bin/env bash
# Builds Vantrel and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
vantrel_install_packages
vantrel_build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
fuzz/smoke.sh
