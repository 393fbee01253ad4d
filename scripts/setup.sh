#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and builds Vantrel into build/.
# Sourced by run.sh and test.sh.
set -euo pipefail

VANTREL_PACKAGES=(cmake ninja-build g++ qt6-base-dev libcli11-dev googletest libgtest-dev libbenchmark-dev
                  xvfb xauth clang libclang-rt-14-dev)

vantrel_install_packages() {
    local missing=() p
    for p in "${VANTREL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

vantrel_build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build
}
