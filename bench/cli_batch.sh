#!/usr/bin/env bash
# vantrel-cli load over 1,000 copies of the corpus's levels, one process a
# file, beside cat over the same files (the floor). The copies are made once
# and loaded once before timing, so that their backups exist. Prints each
# round's milliseconds, the medians and their ratio.
# Usage: bench/cli_batch.sh [VANTREL_CLI] [ROUNDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build/vantrel-cli}
rounds=${2:-5}
corpus=$here/../../shared/corpus/levels
[ -d "$corpus" ] || { echo "the level corpus $corpus is absent" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mapfile -t levels < <(find "$corpus" -name '*.level' -type f | sort)
for i in $(seq 0 999); do
    cp "${levels[$((i % ${#levels[@]}))]}" "$work/$(printf '%04d' "$i").level"
done
for f in "$work"/*.level; do "$cli" load "$f" >/dev/null; done

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

loads=() cats=()
for r in $(seq "$rounds"); do
    t0=$(now_ms); for f in "$work"/*.level; do cat "$f" >/dev/null; done; t1=$(now_ms)
    for f in "$work"/*.level; do "$cli" load "$f" >/dev/null; done; t2=$(now_ms)
    cats+=($((t1 - t0))) loads+=($((t2 - t1)))
    echo "round $r: cat ${cats[-1]} ms, vantrel-cli load ${loads[-1]} ms"
done
mc=$(median "${cats[@]}") ml=$(median "${loads[@]}")
echo "median over $rounds rounds of 1,000 files: cat $mc ms, vantrel-cli load $ml ms, ratio $(awk -v a="$ml" -v b="$mc" 'BEGIN {printf "%.2f", a / b}')"
