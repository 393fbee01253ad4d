#!/usr/bin/env bash
# The index of a folder tree of 10,000 copies of the corpus's levels (100
# folders of 100, as bench/check_tree.sh makes it), timed as programs:
# - the first start: vantrel-cli index over the tree with no cache yet (every
#   file read on every core, the cache written), beside one cat of the same
#   files (the floor: reading every byte once); the aim is at most 1.5;
# - the second start: the same index with the cache warm (the tree walked and
#   looked at, the cache read, nothing changed), beside find over the tree
#   (the floor: walking it); the aim is at most 1.5. Beside it also find
#   printing each file's size and time of change, the least a start that
#   looks at every file costs (find alone reads no file's size or time).
# Prints each round's milliseconds, the medians and their ratios.
# Usage: bench/archive_tree.sh [VANTREL_CLI] [ROUNDS]
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
xargs cat < "$work/list" >/dev/null  # warm the file system's cache

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 1)}'; }

cats=() colds=() finds=() warms=() looks=()
for r in $(seq "$rounds"); do
    rm -f "$work/archive.index"
    t0=$(now_ms); xargs cat < "$work/list" >/dev/null; t1=$(now_ms)
    "$cli" index "$work/tree" --cache "$work/archive.index" >/dev/null; t2=$(now_ms)
    find "$work/tree" >/dev/null; t3=$(now_ms)
    "$cli" index "$work/tree" --cache "$work/archive.index" >/dev/null; t4=$(now_ms)
    find "$work/tree" -printf '%p %s %T@\n' >/dev/null; t5=$(now_ms)
    cats+=($((t1 - t0))) colds+=($((t2 - t1))) finds+=($((t3 - t2))) warms+=($((t4 - t3))) looks+=($((t5 - t4)))
    echo "round $r: cat ${cats[-1]} ms, index ${colds[-1]} ms; find ${finds[-1]} ms, index with its cache ${warms[-1]} ms, find with sizes and times ${looks[-1]} ms"
done
mc=$(median "${cats[@]}") mi=$(median "${colds[@]}") mf=$(median "${finds[@]}") mw=$(median "${warms[@]}")
ml=$(median "${looks[@]}")
echo "median over $rounds rounds of 10,000 files:"
echo "  first start: cat $mc ms, vantrel-cli index $mi ms, ratio $(ratio "$mi" "$mc") (aim: at most 1.5)"
echo "  second start: find $mf ms, vantrel-cli index with its cache $mw ms, ratio $(ratio "$mw" "$mf") (aim: at most 1.5)"
echo "  the same beside find printing every file's size and time ($ml ms): ratio $(ratio "$mw" "$ml")"
