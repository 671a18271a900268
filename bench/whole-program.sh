#!/usr/bin/env bash
# Whole-program figures: each program on a large workload with its output going into a pipe, and
# beside it cat copying the same bytes through the same pipes, in one run. Prints the medians of
# several runs and their ratio, for the programs built with -O3 (the release preset) and with -O2
# (as distributions build packages), then blockalloc's time per command and peak memory at
# 100,000,000 blocks, and pagefifo's peak memory for 100,000,000 pages.
#
#   bench/whole-program.sh [RUNS]      (builds the optimised programs first; needs /usr/bin/time)
set -euo pipefail
unset CDPATH  # cd would print the folder it found through CDPATH
cd -P -- "$(dirname -- "$0")/.."
runs=${1:-5}
for preset in release release-o2; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" >/dev/null
done
blockalloc=$PWD/build/release/blockalloc/blockalloc
blockalloc_o2=$PWD/build/release-o2/blockalloc/blockalloc
pagefifo=$PWD/build/release/pagefifo/pagefifo
pagefifo_o2=$PWD/build/release-o2/pagefifo/pagefifo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source bench/timing.sh

compare() {  # NAME PROGRAM_COMMAND COPY_COMMAND
    local program copy
    program=$(median_ms "$2")
    copy=$(median_ms "$3")
    awk -v name="$1" -v p="$program" -v c="$copy" \
        'BEGIN { printf "%-44s %7.3f s   cat %7.3f s   ratio %5.2f\n", name, p / 1000, c / 1000, p / c }'
}

# blockalloc: 1,000,000 blocks, twenty files of 50,000 blocks (A to T, Z for H), ten displays.
{
    echo 1000000
    for name in A B C D E F G Z I J K L M N O P Q R S T; do printf '1\n%s\n50000\n' "$name"; done
    for i in $(seq 10); do echo 3; done
    echo 4
} >"$work/blockalloc.in"
"$blockalloc" <"$work/blockalloc.in" >"$work/blockalloc.out"

# pagefifo: 10,000,000 references over ten pages.
awk 'BEGIN { srand(7); print 10000000; for (i = 0; i < 10000000; i++) printf "%d ", int(rand() * 10); print "" }' \
    >"$work/pagefifo.in"
"$pagefifo" <"$work/pagefifo.in" >"$work/pagefifo.out"

echo "medians of $runs runs, output into a pipe"
printf 'blockalloc output %s MB, pagefifo input %s MB and output %s MB\n' \
    "$(( $(wc -c <"$work/blockalloc.out") / 1000000 ))" \
    "$(( $(wc -c <"$work/pagefifo.in") / 1000000 ))" "$(( $(wc -c <"$work/pagefifo.out") / 1000000 ))"
for build in "-O3:$blockalloc:$pagefifo" "-O2:$blockalloc_o2:$pagefifo_o2"; do
    IFS=: read -r level blockalloc_build pagefifo_build <<<"$build"
    compare "blockalloc $level, 10^6 blocks, 20 adds, 10 displays" \
        "'$blockalloc_build' <'$work/blockalloc.in' | cat >/dev/null" \
        "cat '$work/blockalloc.out' | cat >/dev/null"
    compare "pagefifo $level, 10^7 references over ten pages" \
        "cat '$work/pagefifo.in' | '$pagefifo_build' | cat >/dev/null" \
        "cat '$work/pagefifo.in' | cat >/dev/null; cat '$work/pagefifo.out' | cat >/dev/null"
done

# blockalloc at 100,000,000 blocks: each command repeated in one session, so that its time stands
# well above the cost of creating the map; Display goes to /dev/null. Then the peak memory.
big=100000000
adds() { for name in A B C D E F G I J K; do printf '1\n%s\n%s\n' "$name" "$((big / 20))"; done; }
printf '%s\n4\n' "$big" >"$work/start.in"
{ echo "$big"; adds; echo 4; } >"$work/add.in"
{ echo "$big"; adds; for i in $(seq 10); do printf '2\n1\n'; done; echo 4; } >"$work/remove.in"
{ echo "$big"; adds; printf '3\n3\n3\n4\n'; } >"$work/display.in"
start=$(median_ms "'$blockalloc' <'$work/start.in' >/dev/null")
add=$(median_ms "'$blockalloc' <'$work/add.in' >/dev/null")
remove=$(median_ms "'$blockalloc' <'$work/remove.in' >/dev/null")
display=$(median_ms "'$blockalloc' <'$work/display.in' >/dev/null")
echo "blockalloc at $big blocks, milliseconds per command (ten files of $((big / 20)) blocks):"
echo "  creating the map $start, Add file $(( (add - start) / 10 )), Remove file $(( (remove - add) / 10 )), Display $(( (display - add) / 3 ))"
peak=$(/usr/bin/time -f %M "$blockalloc" <"$work/display.in" 2>&1 >/dev/null | tail -n 1)
awk -v peak="$peak" -v map="$big" 'BEGIN {
    printf "  peak memory %.1f MiB for a map of %.1f MiB: %.1f MiB beyond the map (limit 8)\n",
        peak / 1024, map / 1048576, peak / 1024 - map / 1048576 }'

# pagefifo with 100,000,000 pages: the pages are stored once, in pieces, and never copied.
pages=100000000
{ echo "$pages"; head -c "$pages" /dev/zero | tr '\0' 'a'; } >"$work/pages.in"
peak=$(/usr/bin/time -f %M "$pagefifo" <"$work/pages.in" 2>&1 >/dev/null | tail -n 1)
awk -v peak="$peak" -v pages="$pages" 'BEGIN {
    printf "pagefifo with %d pages: peak memory %.1f MiB for %.1f MiB of pages: %.1f MiB beyond (limit 8)\n",
        pages, peak / 1024, pages / 1048576, peak / 1024 - pages / 1048576 }'
