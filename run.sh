#!/usr/bin/env bash
# Builds Vantrel and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
vantrel_install_packages
vantrel_build
if [ -x build/vantrel ]; then
    exec build/vantrel "$@"
fi
exec build/vantrel-cli --help
