#!/usr/bin/env bash
# The index of a folder tree of 10,000 copies of the corpus's levels (100
# folders of 100, as bench/check_tree.sh makes it), timed as programs:
# - the first start: vantrel-cli index over the tree with no cache yet (every
#   file read on every core, the cache written), beside one cat of the same
#   files (the floor: reading every byte once); the aim is at most 1.5;
# - the second start: the same index with the cache warm (the tree walked and
#   looked at, the cache read, nothing changed), beside find over the tree
#   (the floor: walking it); the aim is at most 1.5. Beside it also find
#   printing each file's size and time of change, and the tree walked by
#   vantrel_bench_walk (bench/WalkFloor.cpp: every folder listed on every
#   core and every level looked at relative to its folder, as the index does,
#   and nothing else): the least a start that looks at every file costs
#   (find alone reads no file's size or time).
# Prints each round's milliseconds, the medians and their ratios, and for the
# second start also the CPU time (user and system, every thread), which a
# shared machine disturbs less than the wall clock.
# Usage: bench/archive_tree.sh [VANTREL_CLI] [ROUNDS] [WALK_FLOOR]
# WALK_FLOOR defaults to bench/vantrel_bench_walk beside VANTREL_CLI; without
# it that floor is left out.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build/vantrel-cli}
rounds=${2:-5}
walker=${3:-$(dirname "$cli")/bench/vantrel_bench_walk}
[ -x "$walker" ] || { echo "no $walker: the walk alone is not timed" >&2; walker=; }
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

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 1)}'; }

# Runs a command, its output and messages discarded; sets wall and cpu (user
# and system time of all its threads) in milliseconds.
TIMEFORMAT='%3R %3U %3S'
timed() {
    local r u s
    read -r r u s < <( { time "$@" >/dev/null 2>&1; } 2>&1 )
    wall=$(awk -v r="$r" 'BEGIN {printf "%d", r * 1000}')
    cpu=$(awk -v u="$u" -v s="$s" 'BEGIN {printf "%d", (u + s) * 1000}')
}

cats=() colds=() finds=() warms=() looks=() findcpu=() warmcpu=() lookcpu=() walks=() walkcpu=() walked=
for r in $(seq "$rounds"); do
    rm -f "$work/archive.index"
    timed xargs cat < "$work/list"; cats+=("$wall")
    timed "$cli" index "$work/tree" --cache "$work/archive.index"; colds+=("$wall")
    timed find "$work/tree"; finds+=("$wall") findcpu+=("$cpu")
    timed "$cli" index "$work/tree" --cache "$work/archive.index"; warms+=("$wall") warmcpu+=("$cpu")
    timed find "$work/tree" -printf '%p %s %T@\n'; looks+=("$wall") lookcpu+=("$cpu")
    if [ -n "$walker" ]; then
        timed "$walker" "$work/tree"; walks+=("$wall") walkcpu+=("$cpu")
        walked=", the walk alone $wall ms (CPU $cpu)"
    fi
    echo "round $r: cat ${cats[-1]} ms, index ${colds[-1]} ms; find ${finds[-1]} ms (CPU ${findcpu[-1]}), index with its cache ${warms[-1]} ms (CPU ${warmcpu[-1]}), find with sizes and times ${looks[-1]} ms (CPU ${lookcpu[-1]})$walked"
done
mc=$(median "${cats[@]}") mi=$(median "${colds[@]}") mf=$(median "${finds[@]}") mw=$(median "${warms[@]}")
ml=$(median "${looks[@]}") cf=$(median "${findcpu[@]}") cw=$(median "${warmcpu[@]}") cl=$(median "${lookcpu[@]}")
echo "median over $rounds rounds of 10,000 files:"
echo "  first start: cat $mc ms, vantrel-cli index $mi ms, ratio $(ratio "$mi" "$mc") (aim: at most 1.5)"
echo "  second start: find $mf ms, vantrel-cli index with its cache $mw ms, ratio $(ratio "$mw" "$mf") (aim: at most 1.5)"
echo "  the same beside find printing every file's size and time ($ml ms): ratio $(ratio "$mw" "$ml")"
echo "  CPU time (user and system) of the second start: find $cf ms, index $cw ms, ratio $(ratio "$cw" "$cf"); find with sizes and times $cl ms, ratio $(ratio "$cw" "$cl")"
if [ -n "$walker" ]; then
    mk=$(median "${walks[@]}") ck=$(median "${walkcpu[@]}")
    echo "  the walk alone (every level looked at, nothing else): $mk ms, $(ratio "$mk" "$mf") times find; the second start $(ratio "$mw" "$mk") times the walk"
    echo "  CPU time of the walk alone: $ck ms, $(ratio "$ck" "$cf") times find; the second start $(ratio "$cw" "$ck") times the walk"
fi
