#!/usr/bin/env bash
# How much of the programs' code the fuzz corpus reaches: builds the harnesses with clang's
# source-based coverage, runs every input of the transcripts (and of build/fuzz/corpus-*, what
# fuzz/run.sh found, if present) once, and prints llvm-cov's report for the libraries.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/coverage
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DBUILD_TESTING=OFF -DOSDEMOS_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" \
    -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" >/dev/null
cmake --build "$build" >/dev/null
rm -f "$build"/*.profraw
objects=()
for program in blockalloc pagefifo arraydel; do
    inputs=("$program/transcripts")
    [ -d "build/fuzz/corpus-$program" ] && inputs+=("build/fuzz/corpus-$program")
    LLVM_PROFILE_FILE="$PWD/$build/$program-%p.profraw" \
        "$build/fuzz/fuzz_$program" -runs=0 "${inputs[@]}" >/dev/null 2>&1
    objects+=(-object "$build/fuzz/fuzz_$program")
done
llvm-profdata merge -sparse "$build"/*.profraw -o "$build/all.profdata"
llvm-cov report -instr-profile="$build/all.profdata" "${objects[@]:1}" \
    console/console.cpp blockalloc/blockmap.cpp blockalloc/dialogue.cpp pagefifo/trace.cpp \
    arraydel/arraydel.cpp
