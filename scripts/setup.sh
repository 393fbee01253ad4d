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
# Vantrel for Windows, cross-built with MinGW-w64 and run under Wine (scripts/windows.sh): the
# compiler and zlib for Windows, Wine, the host's Qt tools (moc, uic, rcc) for the window, NSIS
# for the installer and 7-Zip to look into it.
VANTREL_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 qt6-base-dev-tools nsis p7zip-full)
# Qt, libpng and GoogleTest built for Windows (../shared/windows-kit/README.md).
VANTREL_WINDOWS_KIT=../shared/windows-kit/qt6-mingw64-kit.tar.xz
# The game itself, built from ../shared/game for the tests that hold the commands' output against it.
VANTREL_GAME_PACKAGES=(gcc make libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libsdl2-net-dev zlib1g-dev)

vantrel_install_packages() {
    vantrel_install "${VANTREL_PACKAGES[@]}"
}

vantrel_install_windows_packages() {
    vantrel_install "${VANTREL_WINDOWS_PACKAGES[@]}"
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

# Cross-builds Vantrel for 64-bit Windows into build-windows/: vantrel-cli.exe,
# vantrel.exe, the core's tests (tests/vantrel_tests.exe) and the example
# levels; the kit is unpacked into build-windows/kit. On CI warnings are errors.
vantrel_build_windows() {
    if [ ! -f "$VANTREL_WINDOWS_KIT" ]; then
        echo "The Windows kit ($VANTREL_WINDOWS_KIT) is absent: nothing is built for Windows."
        return 1
    fi
    mkdir -p build-windows
    if [ ! -f build-windows/kit.stamp ] || [ "$VANTREL_WINDOWS_KIT" -nt build-windows/kit.stamp ]; then
        rm -rf build-windows/kit
        tar -C build-windows -xJf "$VANTREL_WINDOWS_KIT"
        touch build-windows/kit.stamp
    fi
    local werror=OFF
    [ "${CI:-}" = "true" ] && werror=ON
    cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/WindowsToolchain.cmake \
        -DVANTREL_WINDOWS_KIT="$PWD/build-windows/kit" -DQT_HOST_PATH=/usr -DCMAKE_BUILD_TYPE=Release \
        -DVANTREL_WERROR=$werror -DVANTREL_BENCH=OFF -DVANTREL_GUI=ON -DVANTREL_TESTS=ON
    cmake --build build-windows --target vantrel-cli vantrel vantrel_tests vantrel_package_files
}

# A Wine prefix of its own in a temporary folder, for one run (WINEPREFIX);
# vantrel_end_wine removes it again. Fails, saying why, where Wine cannot start.
vantrel_start_wine() {
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-wine.XXXXXX")
    export WINEPREFIX
    # The first start makes the prefix: up to a few minutes on a slow machine.
    if ! timeout 600 scripts/wine-run.sh wineboot --init >"$WINEPREFIX.log" 2>&1; then
        echo "Wine could not make its prefix: $(tail -1 "$WINEPREFIX.log")"
        rm -f "$WINEPREFIX.log"
        return 1
    fi
    rm -f "$WINEPREFIX.log"
}

vantrel_end_wine() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    local server
    server=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
    [ -x "$server" ] || server=/usr/lib/wine/wineserver
    WINEPREFIX=$WINEPREFIX "$server" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    unset WINEPREFIX
}

# The Windows build beside this one, under Wine: the comparison of both builds
# on copies of the corpus (from build/), then the core's and the command
# line's tests, the window on a virtual display and the installer (from
# build-windows/). Both builds must be made first.
vantrel_test_windows() {
    VANTREL_WINDOWS_CLI=$PWD/build-windows/vantrel-cli.exe \
        ctest --test-dir build --output-on-failure -j2 -R WindowsCli
    ctest --test-dir build-windows --output-on-failure
}
