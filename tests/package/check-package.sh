#!/usr/bin/env bash
# Makes the Debian package from a build folder, unpacks it into a scratch root
# and checks it as an installing machine sees it: its control data, its files,
# the programs in it, its desktop, MIME, AppStream, manual and completion files,
# and the example levels.
#   check-package.sh BUILD_DIR VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
expect() { [ "$2" = "$3" ] || fail "$1: expected \"$3\", got \"$2\""; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack -G DEB"; }
deb=$(echo "$scratch"/out/vantrel_"$version"_*.deb)
[ -f "$deb" ] || fail "no package vantrel_${version}_ARCH.deb: $(ls "$scratch/out")"

# Control data: the name and version, and run-time dependencies computed from the programs.
expect Package "$(dpkg-deb -f "$deb" Package)" vantrel
expect Version "$(dpkg-deb -f "$deb" Version)" "$version"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6widgets6 libqt6gui6 libpng16-16; do
    [[ ", $depends" == *", $lib "* || ", $depends," == *", $lib,"* ]] || fail "Depends lacks $lib: $depends"
done
dpkg-deb -e "$deb" "$scratch/control"
for script in preinst postinst prerm postrm config; do
    [ ! -e "$scratch/control/$script" ] || fail "the package runs a $script script"
done

# Files: only below the package's own places.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||; s|/$||' | while read -r path; do
    case "$path" in
    usr | usr/bin | usr/share | usr/share/man | usr/share/icons | usr/share/icons/hicolor | usr/share/mime) ;;
    usr/share/bash-completion | usr/share/doc) ;;
    usr/bin/vantrel | usr/bin/vantrel-cli) ;;
    usr/share/applications* | usr/share/metainfo* | usr/share/mime/packages*) ;;
    usr/share/icons/hicolor/*/apps* | usr/share/icons/hicolor/*[0-9x] | usr/share/icons/hicolor/scalable) ;;
    usr/share/man/man1 | usr/share/man/man1/vantrel.1.gz | usr/share/man/man1/vantrel-cli.1.gz) ;;
    usr/share/bash-completion/completions*) ;;
    usr/share/vantrel* | usr/share/doc/vantrel*) ;;
    *) fail "unexpected file in the package: $path" ;;
    esac
done

root=$scratch/root
dpkg -x "$deb" "$root"
share=$root/usr/share
expect "vantrel-cli --version" "$("$root/usr/bin/vantrel-cli" --version)" "vantrel-cli $version"
expect "vantrel --version" "$("$root/usr/bin/vantrel" --version)" "vantrel $version"

desktop-file-validate "$share/applications/org.orvel.Vantrel.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/org.orvel.Vantrel.metainfo.xml" >"$scratch/as.log" 2>&1 ||
    { cat "$scratch/as.log" >&2; fail "appstreamcli validate"; }
for size in 16x16 32x32 48x48 64x64 128x128 256x256 scalable; do
    ls "$share/icons/hicolor/$size/apps/org.orvel.Vantrel."* >/dev/null || fail "no $size icon"
done

# The MIME types: by name, and by the first bytes for a level without its extension.
mkdir -p "$scratch/mime/mime" "$scratch/home" "$scratch/files"
cp -r "$share/mime/packages" "$scratch/mime/mime/"
cp /usr/share/mime/packages/freedesktop.org.xml "$scratch/mime/mime/packages/" 2>/dev/null || true
update-mime-database "$scratch/mime/mime" >/dev/null 2>&1 || fail "update-mime-database"
printf 'RND1\0\0\0\x10CAVEVERS' >"$scratch/files/chunked"
printf 'ROCKSNDIAMONDS_LEVEL_FILE_VERSION_1.2\n' >"$scratch/files/cookie"
printf 'x' >"$scratch/files/sets.vce"
printf 'x' >"$scratch/files/a.level"
for pair in chunked:application/x-rnd-level cookie:application/x-rnd-level a.level:application/x-rnd-level \
    sets.vce:application/x-vantrel-ce; do
    got=$(XDG_DATA_HOME="$scratch/home" XDG_DATA_DIRS="$scratch/mime" \
        gio info -a standard::content-type "$scratch/files/${pair%%:*}" | sed -n 's/.*standard::content-type: //p')
    expect "MIME type of ${pair%%:*}" "$got" "${pair#*:}"
done

# The manual pages: every command of vantrel-cli's help, and nothing roff warns about.
cli_commands=$("$root/usr/bin/vantrel-cli" --help | sed -n '/^Subcommands:/,/^$/p' | awk 'NR > 1 && NF {print $1}')
[ -n "$cli_commands" ] || fail "vantrel-cli --help lists no commands"
for cmd in $cli_commands; do
    zcat "$share/man/man1/vantrel-cli.1.gz" | grep -qx ".SS $cmd" || fail "man vantrel-cli lacks the command $cmd"
done
for page in vantrel vantrel-cli; do
    warnings=$(MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page: $warnings"
done
zcat "$share/man/man1/vantrel.1.gz" | grep -q '^\.B Load Level (F2)$' || fail "man vantrel lacks the File menu"

# Bash completion: commands, a command's options and a directory argument.
completion=$share/bash-completion/completions/vantrel-cli
bash -n "$completion" || fail "the bash completion does not parse"
if [ -f /usr/share/bash-completion/bash_completion ]; then
    mkdir -p "$scratch/c/sub"
    complete_words() {
        (cd "$scratch/c" && bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"; shift
            COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
            _vantrel_cli; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@")
    }
    expect "completion of pl" "$(complete_words vantrel-cli pl)" players
    expect "completion of counter --d" "$(complete_words vantrel-cli counter --d)" --dry-run
    expect "completion of sort's DIR" "$(complete_words vantrel-cli sort '')" sub
fi

# The examples: levels vantrel-cli wrote, no backups, and the levelset tree they make.
examples=$share/vantrel/examples
[ -z "$(find "$examples" -name '*.bak')" ] || fail "backups among the examples"
expect "the examples' tree" "$("$root/usr/bin/vantrel-cli" levelsets "$examples")" "$(cat <<'TREE'
Vantrel examples (Group)
  A level with a counter (1 levels)
  Two players (2 levels)
  The two-player levels for 3 players (2 levels)
  The two-player levels for 4 players (2 levels)
  A level from a forum post (1 levels)
8 levels in 5 levelsets in 1 levelgroup
TREE
)"
echo "package $deb checked"
