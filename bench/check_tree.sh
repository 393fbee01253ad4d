#!/usr/bin/env bash
# vantrel-cli check over a folder tree of 10,000 copies of the corpus's levels
# (100 folders of 100), beside one cat over the same files (the floor: reading
# every byte once). Prints each round's milliseconds, the medians and their
# ratio; the goal is at most 1.5.
# Usage: bench/check_tree.sh [VANTREL_CLI] [ROUNDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build/vantrel-cli}
rounds=${2:-5}
corpus=$here/../../shared/corpus
[ -d "$corpus" ] || { echo "the level corpus $corpus is absent" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mapfile -t levels < <(find "$corpus" -name '*.level' -type f | sort)
for d in $(seq -w 0 99); do
    mkdir -p "$work/tree/$d"
    for i in $(seq -w 0 99); do cp "${levels[$(( (10#$d * 100 + 10#$i) % ${#levels[@]} ))]}" "$work/tree/$d/$i.level"; done
done
find "$work/tree" -name '*.level' | sort > "$work/list"
xargs cat < "$work/list" >/dev/null  # warm the cache

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

checks=() cats=()
for r in $(seq "$rounds"); do
    t0=$(now_ms); xargs cat < "$work/list" >/dev/null; t1=$(now_ms)
    "$cli" check "$work/tree" >/dev/null || true; t2=$(now_ms)
    cats+=($((t1 - t0))) checks+=($((t2 - t1)))
    echo "round $r: cat ${cats[-1]} ms, vantrel-cli check ${checks[-1]} ms"
done
mc=$(median "${cats[@]}") mk=$(median "${checks[@]}")
echo "median over $rounds rounds of 10,000 files: cat $mc ms, vantrel-cli check $mk ms, ratio $(awk -v a="$mk" -v b="$mc" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 1)}')"
