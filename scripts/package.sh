#!/usr/bin/env bash
# Builds Vantrel and makes its Debian package, build/package/vantrel_VERSION_ARCH.deb.
# Install it with: apt install ./build/package/vantrel_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
vantrel_install_packages
vantrel_build
(cd build && cpack -G DEB -B package)
ls build/package/vantrel_*.deb
