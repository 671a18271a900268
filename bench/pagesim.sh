#!/usr/bin/env bash
# pagesim's figures, each beside a reference command in the same run: the totals of 10^7
# references over ten pages read from standard input, against wc -w counting the words of the
# same input; the cost of a thousand frames against three, over 10^6 references to 2,000 pages;
# and the peak memory for 10^7 references.
#
#   bench/pagesim.sh [RUNS]      (builds the optimised programs first; needs /usr/bin/time)
set -euo pipefail
unset CDPATH  # cd would print the folder it found through CDPATH
cd -P -- "$(dirname -- "$0")/.."
runs=${1:-5}
source bench/timing.sh
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
pagesim=$PWD/build/release/pagesim/pagesim
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk 'BEGIN { srand(7); for (i = 0; i < 10000000; i++) printf "%d ", int(rand() * 10); print "" }' \
    >"$work/ten.in"
awk 'BEGIN { srand(7); for (i = 0; i < 1000000; i++) printf "%d ", int(rand() * 2000); print "" }' \
    >"$work/many.in"

# Each time is a command line's less the time of an empty one, the shell's own start.
baseline_ms=$(median_ms true)
echo "medians of $runs runs less the shell's start ($baseline_ms ms); wc -w in the C locale"
words=$(median_ms "LC_ALL=C wc -w <'$work/ten.in' >/dev/null")
printf '10^7 references over ten pages (%s MB), --totals:   wc -w %5d ms\n' \
    "$(( $(wc -c <"$work/ten.in") / 1000000 ))" "$words"
for policy in fifo lru clock opt random; do
    took=$(median_ms "'$pagesim' --totals -p $policy <'$work/ten.in' >/dev/null")
    awk -v p="$policy" -v t="$took" -v w="$words" \
        'BEGIN { printf "  %-6s %5d ms   %5.1f x wc -w\n", p, t, t / w }'
done

echo "10^6 references over 2000 pages, --totals: 1000 frames against 3"
for policy in lru opt clock fifo; do
    few=$(median_ms "'$pagesim' --totals -p $policy -f 3 <'$work/many.in' >/dev/null")
    many=$(median_ms "'$pagesim' --totals -p $policy -f 1000 <'$work/many.in' >/dev/null")
    awk -v p="$policy" -v f="$few" -v m="$many" \
        'BEGIN { printf "  %-6s 3 frames %4d ms   1000 frames %4d ms   ratio %4.2f\n", p, f, m, m / f }'
done

echo "peak memory, 10^7 references over ten pages"
for policy in fifo opt; do
    printf '  --totals -p %-6s %6s MiB\n' "$policy" "$(peak_mib "$pagesim" --totals -p "$policy" <"$work/ten.in")"
done
printf '  a trace (fifo)     %6s MiB\n' "$(peak_mib "$pagesim" <"$work/ten.in")"
