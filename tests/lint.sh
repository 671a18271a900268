#!/usr/bin/env bash
# Style and static checks: every C++ file formatted as .clang-format says, and the programs'
# sources free of clang-tidy warnings (with the checks of .clang-tidy). Needs a configured
# build/dev for its compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.hpp' | xargs clang-format --dry-run --Werror
sources=$(git ls-files 'console/*.cpp' 'blockalloc/*.cpp' 'pagefifo/*.cpp' 'arraydel/*.cpp' | grep -v '_test\.cpp$')
# clang-tidy counts the warnings it hid in system headers on stderr; only its findings are shown.
if ! report=$(clang-tidy -p build/dev --quiet --warnings-as-errors='*' $sources 2>&1); then
    grep -v 'warnings generated' <<<"$report"
    exit 1
fi
echo "lint: clean"
