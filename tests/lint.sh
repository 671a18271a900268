#!/usr/bin/env bash
# Style and static checks: every C++ file formatted as .clang-format says, and the programs'
# sources free of clang-tidy warnings (with the checks of .clang-tidy). Needs a configured
# build/dev for its compile commands.
set -euo pipefail
unset CDPATH  # cd would print the folder it found through CDPATH
cd -P -- "$(dirname -- "$0")/.."
git ls-files -z '*.cpp' '*.hpp' | xargs -0 clang-format --dry-run --Werror
# The sources this system compiles (another system's platform file would not), tests left out.
sources=()
while IFS= read -r file; do
    relative=${file#"$PWD"/}
    [ "$relative" != "$file" ] || continue  # not this checkout's (GoogleTest's sources)
    case $relative in build/* | fuzz/* | bench/* | *_test.cpp) continue ;; esac
    sources+=("$file")
done < <(grep -o '"file": "[^"]*"' build/dev/compile_commands.json | cut -d'"' -f4 | sort -u)
# clang-tidy counts the warnings it hid in system headers on stderr; only its findings are shown.
if ! report=$(clang-tidy -p build/dev --quiet --warnings-as-errors='*' "${sources[@]}" 2>&1); then
    grep -v 'warnings generated' <<<"$report"
    exit 1
fi
echo "lint: clean"
