#!/usr/bin/env bash
# ./run used the way graders and students use it: in a checkout whose path has a space, three at
# once on a fresh copy and on a built one, with an exported CDPATH, and in a checkout the user
# cannot write to. Each must give the program's exact bytes, or one line saying why not.
#
#   tests/run-use.sh          (the read-only case needs root, to run ./run as another user)
set -uo pipefail
unset CDPATH
cd -P -- "$(dirname -- "$0")/.." >/dev/null || exit 1
project=$PWD
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
pass() { passed=$((passed + 1)); printf 'ok: %s\n' "$*"; }
fail() { failed=$((failed + 1)); printf 'FAIL: %s\n' "$*"; }

copy="$scratch/a checkout/osdemos"
mkdir -p "$copy"
# The project's files as a fresh clone has them (tracked, plus new ones git does not ignore).
git -C "$project" ls-files -z --cached --others --exclude-standard |
    tar -C "$project" --null -T - -cf - | tar -C "$copy" -xf -

printf 'Original Array: 1 2 3 4 5 \nEnter the integer to delete: Updated Array: 1 2 4 5 -1 \n' \
    >"$scratch/expected"

# three_at_once WHAT: three ./run arraydel started together, each with its own output.
three_at_once() {
    local what=$1 i pids=() status
    for i in 1 2 3; do
        (cd "$copy" && echo 2 | ./run arraydel >"$scratch/out$i" 2>"$scratch/err$i") &
        pids+=($!)
    done
    for i in 1 2 3; do
        wait "${pids[$((i - 1))]}"
        status=$?
        if [ "$status" -eq 0 ] && cmp -s "$scratch/out$i" "$scratch/expected"; then
            pass "$what: run $i"
        else
            fail "$what: run $i, status $status: $(head -c 300 "$scratch/err$i")"
        fi
    done
}
three_at_once "three at once on a fresh copy"
three_at_once "three at once on a built copy"

for cdpath in . /usr "$scratch"; do
    out=$(cd "$scratch/a checkout" && echo 2 | CDPATH=$cdpath osdemos/run arraydel 2>&1)
    if [ "$out" = "$(cat "$scratch/expected")" ]; then pass "CDPATH=$cdpath"; else fail "CDPATH=$cdpath: $(head -c 300 <<<"$out")"; fi
done

if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null 2>&1; then
    # A user who may read the checkout but not write to it, as nobody.
    rm -rf "$copy/build"
    chmod -R a+rX "$scratch"
    out=$(cd "$copy" && echo 2 | setpriv --reuid=65534 --regid=65534 --clear-groups ./run arraydel 2>&1)
    status=$?
    if [ "$status" -eq 1 ] && [ "$out" = "./run: cannot write to $copy/build: build in a copy of the project that you can write to" ]; then
        pass "a checkout the user cannot write to"
    else
        fail "a checkout the user cannot write to: status $status: $out"
    fi
elif [ "${CI:-}" = true ]; then
    fail "a checkout the user cannot write to: needs root and setpriv"
fi

printf '%d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
