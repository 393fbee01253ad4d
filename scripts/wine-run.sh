#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly, in the Wine prefix WINEPREFIX
# (made on first use; scripts/windows.sh makes one in a temporary folder for a
# run). Without WINEPREFIX, build-windows/wine-prefix is used. No dialog asks
# to install Wine's .NET or HTML engines.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/build-windows/wine-prefix}"
export WINEDEBUG=-all
# Wine reads the names of Unix files in the locale's character set: UTF-8, as the
# program writes them, whatever locale the caller runs in.
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=""
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then wine=$candidate; break; fi
done
if [ -z "$wine" ]; then
    echo "wine-run.sh: Wine is not installed (Debian: wine64)" >&2
    exit 127
fi
exec "$wine" "$@"
