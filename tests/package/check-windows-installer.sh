#!/usr/bin/env bash
# Makes the Windows installer from a Windows build folder (NSIS; a ZIP where
# makensis is missing) and checks it: the files it holds, that every DLL the
# programs load is in it or is Windows' own, and then, under Wine, a silent
# install (the programs run from where it put them, .level and .vce open with
# Vantrel, a Start menu entry) and a silent uninstall that leaves nothing.
#   check-windows-installer.sh BUILD_DIR VERSION SOURCE_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
version=$2
wine_run=$3/scripts/wine-run.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
expect() { [ "$2" = "$3" ] || fail "$1: expected \"$3\", got \"$2\""; }

generator=NSIS
command -v makensis >/dev/null || generator=ZIP
cpack -G $generator --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack -G $generator"; }
ext=exe
[ $generator = ZIP ] && ext=zip
package=$scratch/out/Vantrel-$version-win64.$ext
[ -f "$package" ] || fail "no Vantrel-$version-win64.$ext: $(ls "$scratch/out")"

# What it holds, unpacked as 7-Zip reads it (or unzip the ZIP).
root=$scratch/root
if [ $generator = NSIS ]; then
    7z x -o"$root" "$package" >"$scratch/7z.log" 2>&1 || { cat "$scratch/7z.log" >&2; fail "7z x"; }
else
    (cd "$scratch" && unzip -q "$package" && mv "Vantrel-$version-win64" "$root") || fail "unzip"
fi
for file in vantrel.exe vantrel-cli.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll libgcc_s_seh-1.dll \
    libwinpthread-1.dll platforms/qwindows.dll LICENSE.txt examples/levels/vantrel_examples/levelinfo.conf \
    examples/levels/vantrel_examples/quote/001.level examples/levels/vantrel_examples/counter/001.level \
    examples/levels/vantrel_examples/players4/002.level; do
    [ -f "$root/$file" ] || fail "the package lacks $file"
done
find "$root" -name '*.bak' | grep -q . && fail "backups in the package: $(find "$root" -name '*.bak')"

# Every DLL a program or plugin of the package loads is in the package or is one of Windows' own.
system32=$("$wine_run" cmd /c echo %WINDIR% 2>/dev/null | tr -d '\r')
windows_dir=$("$wine_run" winepath -u "$system32" 2>/dev/null)/system32
[ -d "$windows_dir" ] || fail "no system32 in the Wine prefix"
for binary in "$root"/*.exe "$root"/*.dll "$root"/platforms/*.dll; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | awk '/DLL Name:/ {print $3}'); do
        # API sets (api-ms-win-*, ext-ms-*) name parts of Windows, which its loader maps to its own DLLs.
        case "${dll,,}" in api-ms-win-* | ext-ms-*) continue ;; esac
        [ -n "$(find "$root" -maxdepth 1 -iname "$dll")" ] && continue
        [ -n "$(find "$windows_dir" -maxdepth 1 -iname "$dll")" ] && continue
        fail "$(basename "$binary") loads $dll, which is neither in the package nor in Windows"
    done
done

expect "vantrel-cli.exe --version" "$("$wine_run" "$root/vantrel-cli.exe" --version 2>/dev/null)" "vantrel-cli $version"
[ $generator = NSIS ] || { echo "ZIP checked (makensis is missing, so there is no installer)"; exit 0; }

# Installed silently under Wine, into a folder of our own choosing.
# NSIS reads /D= to the end of the command line, unquoted: a folder without spaces.
target='C:\VantrelTest'
"$wine_run" "$package" /S "/D=$target" >/dev/null 2>&1 || fail "the silent install failed"
installed=$("$wine_run" winepath -u "$target" 2>/dev/null)
for file in vantrel.exe vantrel-cli.exe platforms/qwindows.dll examples/levels/vantrel_examples/levelinfo.conf \
    Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "not installed: $file"
done
expect "installed vantrel-cli.exe --version" "$("$wine_run" "$installed/vantrel-cli.exe" --version 2>/dev/null)" \
    "vantrel-cli $version"
classes() { "$wine_run" reg query "$1" /ve 2>/dev/null | tr -d '\r' | awk -F'REG_SZ' 'NF > 1 {gsub(/^ +/, "", $2); print $2}'; }
for ext in level vce; do
    type=$(classes "HKEY_CLASSES_ROOT\\.$ext")
    [ -n "$type" ] || fail ".$ext is not registered"
    command=$(classes "HKEY_CLASSES_ROOT\\$type\\shell\\open\\command")
    expect ".$ext opens with" "$command" "\"$target\\vantrel.exe\" \"%1\""
done
menu=$("$wine_run" winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Vantrel' 2>/dev/null)
[ -f "$menu/Vantrel.lnk" ] || fail "no Start menu entry: $(ls "$menu" 2>&1)"

# Uninstalled silently: the programs, the menu entry and the associations go.
"$wine_run" "$installed/Uninstall.exe" /S "_?=$target" >/dev/null 2>&1 || fail "the silent uninstall failed"
[ ! -e "$installed/vantrel.exe" ] || fail "vantrel.exe is still there after the uninstall"
[ ! -e "$menu/Vantrel.lnk" ] || fail "the Start menu entry is still there after the uninstall"
[ -z "$(classes 'HKEY_CLASSES_ROOT\.level')" ] || fail ".level is still registered after the uninstall"
echo "Vantrel-$version-win64.exe: its files, its DLLs, install and uninstall checked"
