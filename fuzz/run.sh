#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, address and undefined-behaviour sanitizers) and runs each
# for SECONDS, seeded with the files of the program's transcripts. Fails on any finding: a crash,
# a sanitizer report, a broken check, or an input that runs longer than 10 s. What the fuzzer adds
# to the corpus stays in build/fuzz/corpus-PROGRAM, and a failing input in build/fuzz/PROGRAM-crash-*.
#
#   fuzz/run.sh [SECONDS]        (default 60 for each harness)
set -euo pipefail
unset CDPATH  # cd would print the folder it found through CDPATH
cd -P -- "$(dirname -- "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
total=0
for harness in fuzz/fuzz_*.cpp; do
    program=${harness#fuzz/fuzz_}
    program=${program%.cpp}
    corpus=build/fuzz/corpus-$program
    log=build/fuzz/$program.log
    mkdir -p "$corpus"
    if ! "build/fuzz/fuzz/fuzz_$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/$program-" "$corpus" "$program/transcripts" \
        >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz_$program found a fault; the input is in build/fuzz/$program-*" >&2
        exit 1
    fi
    runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
    total=$((total + runs))
    printf 'fuzz_%-10s %10d executions in %d s, %s\n' "$program" "$runs" "$seconds" \
        "$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1)"
done
printf 'all harnesses: %d executions, no findings\n' "$total"
