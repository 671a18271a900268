#!/usr/bin/env bash
# How much of the programs' code the fuzz corpus reaches: builds the harnesses with clang's
# source-based coverage, runs every input of the transcripts (and of build/fuzz/corpus-*, what
# fuzz/run.sh found, if present) once, and prints llvm-cov's report for the libraries.
set -euo pipefail
unset CDPATH  # cd would print the folder it found through CDPATH
cd -P -- "$(dirname -- "$0")/.."
build=build/coverage
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DBUILD_TESTING=OFF -DOSDEMOS_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" \
    -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" >/dev/null
cmake --build "$build" >/dev/null
rm -f "$build"/*.profraw
objects=()
for harness in fuzz/fuzz_*.cpp; do
    program=${harness#fuzz/fuzz_}
    program=${program%.cpp}
    inputs=("$program/transcripts")
    [ -d "build/fuzz/corpus-$program" ] && inputs+=("build/fuzz/corpus-$program")
    LLVM_PROFILE_FILE="$PWD/$build/$program-%p.profraw" \
        "$build/fuzz/fuzz_$program" -runs=0 "${inputs[@]}" >/dev/null 2>&1
    objects+=(-object "$build/fuzz/fuzz_$program")
done
llvm-profdata merge -sparse "$build"/*.profraw -o "$build/all.profdata"
# The libraries' sources: neither tests, harnesses, benchmarks, the programs' main, nor the
# platform files and test streams.
mapfile -t sources < <(git ls-files '*.cpp' |
    grep -vE '(_test\.cpp|/main\.cpp|^fuzz/|^bench/|/platform_|/text_streams|/planted_cmd)')
llvm-cov report -instr-profile="$build/all.profdata" "${objects[@]:1}" "${sources[@]}"
