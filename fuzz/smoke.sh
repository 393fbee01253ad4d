#!/usr/bin/env bash
# A short run of every fuzz target (a few thousand inputs each, from the seeds
# made at build time), in build-fuzz/. Needs clang with libFuzzer; without it
# says so and does nothing. Called by ./test.sh; installs nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null 2>&1 || ! command -v clang >/dev/null 2>&1; then
    echo "fuzz smoke run skipped: clang is not installed (source scripts/setup.sh && vantrel_install_fuzz_packages)"
    exit 0
fi
targets=(loader vce quote ce edit conf)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVANTREL_FUZZ=ON \
    -DVANTREL_GUI=OFF -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_seeds "${targets[@]/#/fuzz_}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for t in "${targets[@]}"; do
    seeds=build-fuzz/fuzz/seeds/$t
    dict=fuzz/$t.dict
    [ -f "$dict" ] || dict=fuzz/loader.dict
    mkdir -p "$work/$t" "$seeds"
    dirs=("$work/$t" "$seeds")
    [ -d "fuzz/corpus/$t" ] && dirs+=("fuzz/corpus/$t")
    # The new inputs go into the scratch folder; the seeds and fuzz/corpus stay as they are.
    if ! build-fuzz/fuzz/fuzz_$t -runs=3000 -timeout=5 -max_len=4096 -dict="$dict" -artifact_prefix="$work/" \
            "${dirs[@]}" >"$work/$t.log" 2>&1; then
        tail -n 40 "$work/$t.log"
        echo "fuzz_$t failed its smoke run; the input is in $(ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* 2>/dev/null | head -n 1)"
        cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* . 2>/dev/null || true
        exit 1
    fi
    echo "fuzz_$t: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$work/$t.log")"
done
