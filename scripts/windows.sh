#!/usr/bin/env bash
# Vantrel for 64-bit Windows, cross-built here with MinGW-w64 (see README.md):
#   scripts/windows.sh          builds build-windows/vantrel-cli.exe, build-windows/vantrel.exe,
#                               the core's tests build-windows/tests/vantrel_tests.exe and the
#                               installer build-windows/Vantrel-VERSION-win64.exe
#   scripts/windows.sh test     builds them (and build/, the Linux build) and runs the tests under
#                               Wine in a Wine prefix made in a temporary folder, the comparison
#                               with the Linux build included; test.sh runs this. Where the kit or
#                               Wine is missing it says so in one line and ends without failing.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
vantrel_install_windows_packages
if [ ! -f "$VANTREL_WINDOWS_KIT" ]; then
    echo "Windows: skipped, the kit $VANTREL_WINDOWS_KIT (Qt and libpng for Windows) is absent."
    exit 0
fi
vantrel_build_windows
if [ "${1:-}" != test ]; then
    (cd build-windows && cpack -G "$(command -v makensis >/dev/null && echo NSIS || echo ZIP)" >/dev/null)
    ls build-windows/Vantrel-*-win64.*
    exit 0
fi
[ -x build/vantrel-cli ] || vantrel_build
if ! vantrel_start_wine; then
    echo "Windows: the tests under Wine are skipped, Wine does not start here."
    vantrel_end_wine
    exit 0
fi
trap vantrel_end_wine EXIT
vantrel_test_windows
