#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and builds Vantrel into build/.
# Sourced by run.sh and test.sh.
set -euo pipefail

# What the build and the tests need; the fuzz targets need more (vantrel_install_fuzz_packages).
VANTREL_PACKAGES=(cmake ninja-build g++ qt6-base-dev libpng-dev libcli11-dev googletest libgtest-dev libbenchmark-dev
                  xvfb xauth
                  # the Debian package and its check: cpack's dependency computation, the validators,
                  # MIME look-up, manual pages and bash completion
                  dpkg-dev file desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db bash-completion)
VANTREL_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The game itself, built from ../shared/game for the tests that hold the commands' output against it.
VANTREL_GAME_PACKAGES=(gcc make libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libsdl2-net-dev zlib1g-dev)

vantrel_install_packages() {
    vantrel_install "${VANTREL_PACKAGES[@]}"
}

# clang with libFuzzer and the sanitizers, for building the fuzz targets (see fuzz/README.md).
vantrel_install_fuzz_packages() {
    vantrel_install "${VANTREL_FUZZ_PACKAGES[@]}"
}

# Builds the game into build/game (kept while its source is unchanged), with
# the judge's own dump lines (tests/judge/build-game.sh); the tests that need
# it skip, saying why, when it cannot be built.
vantrel_build_game() {
    if [ ! -x ../shared/game/build.sh ]; then
        echo "The game's source (../shared/game) is absent: the tests that judge by it will skip."
        return 0
    fi
    vantrel_install "${VANTREL_GAME_PACKAGES[@]}" || true
    mkdir -p build/game
    echo "The game: $(flock build/game/.lock tests/judge/build-game.sh "$PWD/build/game" 2>&1 | tail -1)"
}

vantrel_install() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
}

# Builds into build/. On CI (CI=true) warnings are errors.
vantrel_build() {
    local werror=OFF
    [ "${CI:-}" = "true" ] && werror=ON
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=$werror
    cmake --build build
}
