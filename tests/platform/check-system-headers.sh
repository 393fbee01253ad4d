#!/usr/bin/env bash
# The build's check that only src/platform includes the operating system's
# headers: each offending include fails it and is named, and clean files pass.
# Usage: check-system-headers.sh SOURCE_DIR
set -uo pipefail
check="$1/cmake/CheckSystemHeaders.cmake"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# One case a line: what the file holds | pass or fail
while IFS='|' read -r text want; do
    printf '%b\n' "$text" >"$scratch/File.cpp"
    rm -f "$scratch/stamp"
    out=$(cmake "-DFILES=$scratch/File.cpp" "-DSTAMP=$scratch/stamp" -P "$check" 2>&1)
    status=$?
    if [ "$want" = fail ]; then
        if [ $status -eq 0 ] || [ -e "$scratch/stamp" ]; then
            echo "not refused: $text"; failures=$((failures + 1))
        elif ! grep -qF "$scratch/File.cpp: $(printf '%b' "$text" | grep '#' | head -1)" <<<"$out" ||
             ! grep -qF "Only src/platform may include the operating system's headers:" <<<"$out"; then
            echo "refused without naming the line: $text"; echo "$out"; failures=$((failures + 1))
        fi
    else
        if [ $status -ne 0 ] || [ ! -e "$scratch/stamp" ]; then
            echo "refused: $text"; echo "$out"; failures=$((failures + 1))
        fi
    fi
done <<'CASES'
#include <unistd.h>|fail
#include <fcntl.h>|fail
#  include <sys/stat.h>|fail
\t#include <sys/file.h>|fail
#include <csignal>|fail
#include <signal.h>|fail
#include <windows.h>|fail
#include <Windows.h>|fail
#include <io.h>|fail
#include <dirent.h>|fail
int x;\n#include <pwd.h>|fail
#include <cstdio>\n#include <filesystem>\n#include <string>|pass
#include "platform/Platform.h"|pass
// #include <unistd.h> is for src/platform only|pass
#include <iostream>|pass
#include <ratio>|pass
CASES

[ $failures -eq 0 ] && echo "every case as expected"
exit $((failures > 0))
