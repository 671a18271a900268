#!/usr/bin/env bash
# Runs the built programs through faults of their console: output that cannot be written, input
# that is closed, cut short or full of odd bytes, and (for blockalloc) a map too large for the
# memory the process may use. Every run has a time limit; reaching it is a failure.
#
#   tests/faults.sh GROUP EXECUTABLE     GROUP: blockalloc | pagefifo | arraydel | memory
set -u
group=$1
executable=$2
limit=20
passed=0
failed=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

program() { printf '%s' "$executable"; }

pass() { passed=$((passed + 1)); printf 'ok: %s\n' "$*"; }
fail() { failed=$((failed + 1)); printf 'FAIL: %s\n' "$*"; }

# run NAME PROGRAM INPUT_FILE [REDIRECTIONS...]: runs it with the time limit; sets status, out, err.
run() {
    local name=$1 exe=$2 input=$3
    shift 3
    timeout "$limit" "$exe" <"$input" >"$scratch/out" 2>"$scratch/err" "$@"
    status=$?
    [ "$status" -eq 124 ] && fail "$name: no end within ${limit}s"
}

expect_status() {  # NAME WANTED
    if [ "$status" -eq "$2" ]; then pass "$1: exit status $2"; else fail "$1: exit status $status, expected $2"; fi
}

expect_output() {  # NAME FILE_WITH_EXPECTED_BYTES
    if cmp -s "$scratch/out" "$2"; then pass "$1: output"; else fail "$1: output differs from $2"; fi
}

expect_no_errors() {
    if [ -s "$scratch/err" ]; then fail "$1: wrote to standard error: $(head -c 200 "$scratch/err")"; else pass "$1: nothing on standard error"; fi
}

# A write that fails, to a full device or a closed descriptor: status 1 and one line on stderr.
check_write_failures() {
    local name=$1 input=$2 exe
    exe=$(program "$name")
    if [ -w /dev/full ]; then
        timeout "$limit" "$exe" <"$input" >/dev/full 2>"$scratch/err"
        status=$?
        expect_status "$name to /dev/full" 1
        if grep -qx "$name: cannot write to standard output: No space left on device" "$scratch/err" &&
            [ "$(wc -l <"$scratch/err")" -eq 1 ]; then pass "$name to /dev/full: one line on standard error"; else fail "$name to /dev/full: stderr was: $(cat "$scratch/err")"; fi
    fi
    timeout "$limit" "$exe" <"$input" >&- 2>"$scratch/err"
    status=$?
    expect_status "$name with standard output closed" 1
    if grep -q "^$name: cannot write to standard output" "$scratch/err"; then pass "$name with standard output closed: message"; else fail "$name closed output: stderr was: $(cat "$scratch/err")"; fi
}

# Input that is empty, closed, unreadable (a directory), or cut after any of its lines: a clean
# end, status 0, and what is written is the start of what the whole input gives.
check_input_ends() {
    local name=$1 input=$2 exe lines k
    exe=$(program "$name")
    run "$name whole" "$exe" "$input"
    expect_status "$name whole" 0
    cp "$scratch/out" "$scratch/whole"

    : >"$scratch/empty"
    run "$name empty input" "$exe" "$scratch/empty"
    expect_status "$name empty input" 0

    timeout "$limit" "$exe" <&- >"$scratch/out" 2>"$scratch/err"
    status=$?
    expect_status "$name closed input" 0
    expect_no_errors "$name closed input"

    run "$name input from a directory" "$exe" /
    expect_status "$name input from a directory" 0
    expect_no_errors "$name input from a directory"

    lines=$(wc -l <"$input")
    for ((k = 0; k < lines; k++)); do
        head -n "$k" "$input" >"$scratch/cut"
        run "$name cut after $k lines" "$exe" "$scratch/cut"
        expect_status "$name cut after $k lines" 0
        local size
        size=$(wc -c <"$scratch/out")
        if cmp -s -n "$size" "$scratch/out" "$scratch/whole"; then pass "$name cut after $k lines: start of the whole output"; else fail "$name cut after $k lines: output is not the start of the whole session's"; fi
    done
}

# check_case NAME PROGRAM INPUT_BYTES EXPECTED_BYTES: printf-style escapes in both.
check_case() {
    local name=$1 exe
    exe=$(program "$2")
    printf "$3" >"$scratch/in"
    printf "$4" >"$scratch/expected"
    run "$name" "$exe" "$scratch/in"
    expect_status "$name" 0
    expect_output "$name" "$scratch/expected"
    expect_no_errors "$name"
}

menu='1.Add file\n2.Remove file\n3.Display blocks\n4.End\n'
ask_n='Enter the number of blocks in the memory: '
ask_file='please enter your file name with only one letter:\nEnter the number of blocks in the file:\n'
header='  \tfile\tstart\tlentgh\n'

blockalloc_faults() {
    printf '6\n1\nA\n2\n1\nB\n3\n3\n2\n1\n3\n4\n' >"$scratch/session"
    check_write_failures blockalloc "$scratch/session"
    check_input_ends blockalloc "$scratch/session"
    check_case "blockalloc NUL and high bytes as names" blockalloc \
        '2\n1\n\0\n1\n1\n\351\n1\n3\n4\n' \
        "$ask_n$menu$ask_file$menu$ask_file${menu}0.\t\0\n1.\t\351\n${header}0.\t\0\t0\t1\n1.\t\351\t1\t1\n$menu"
    check_case "blockalloc CRLF line ends" blockalloc '2\r\n3\r\n4\r\n' \
        "$ask_n${menu}0.\tH\n1.\tH\n$header$menu"
    { printf '5\n'; head -c 10000000 /dev/zero | tr '\0' 'x'; } >"$scratch/in"
    run "blockalloc 10 MB entry" "$(program blockalloc)" "$scratch/in"
    expect_status "blockalloc 10 MB entry" 0
    printf "$ask_n${menu}wrong choice$menu" >"$scratch/expected"
    expect_output "blockalloc 10 MB entry" "$scratch/expected"
    { printf '5\n'; head -c 10000000 /dev/zero | tr '\0' '7'; } >"$scratch/in"
    run "blockalloc 10 MB number" "$(program blockalloc)" "$scratch/in"
    expect_status "blockalloc 10 MB number" 0
    expect_output "blockalloc 10 MB number" "$scratch/expected"
}

# A map larger than the process may have: the message, the prompt again, then a normal session.
blockalloc_memory() {
    printf '1000000000\n2\n3\n4\n' >"$scratch/in"
    (ulimit -v 262144 && timeout "$limit" "$(program blockalloc)" <"$scratch/in" >"$scratch/out" 2>"$scratch/err")
    status=$?
    expect_status "blockalloc map beyond the memory limit" 0
    printf "${ask_n}there isn't enough memory for that many blocks\n$ask_n${menu}0.\tH\n1.\tH\n$header$menu" >"$scratch/expected"
    expect_output "blockalloc map beyond the memory limit" "$scratch/expected"
}

pagefifo_faults() {
    printf '7\na\nb\nc\na\nd\nb\ne\n' >"$scratch/session"
    check_write_failures pagefifo "$scratch/session"
    check_input_ends pagefifo "$scratch/session"
    local intro='please enter your number of input :Enter the values for the page :\n     page1    page2    page3\n'
    check_case "pagefifo NUL and high bytes as pages" pagefifo '3\n\0\351\0' \
        "${intro}1        \0\n2        \0        \351\n"
    check_case "pagefifo CRLF line ends" pagefifo '2\r\na\r\nb\r\n' \
        "${intro}1        a\n2        a        b\n"
    { printf '2147483647\n'; head -c 10000000 /dev/zero | tr '\0' 'a'; } >"$scratch/in"
    run "pagefifo 10 MB of one page" "$(program pagefifo)" "$scratch/in"
    expect_status "pagefifo 10 MB of one page" 0
    printf "${intro}1        a\n" >"$scratch/expected"
    expect_output "pagefifo 10 MB of one page" "$scratch/expected"
}

arraydel_faults() {
    printf '2\n' >"$scratch/session"
    check_write_failures arraydel "$scratch/session"
    check_input_ends arraydel "$scratch/session"
    local before='Original Array: 1 2 3 4 5 \nEnter the integer to delete: '
    check_case "arraydel NUL byte" arraydel '\0' "${before}Updated Array: 2 3 4 5 -1 \n"
    check_case "arraydel high byte" arraydel '\351' "${before}Updated Array: 2 3 4 5 -1 \n"
    check_case "arraydel CRLF line end" arraydel '\r\n3\r\n' "${before}Updated Array: 1 2 3 5 -1 \n"
    { head -c 10000000 /dev/zero | tr '\0' '9'; } >"$scratch/in"
    run "arraydel 10 MB number" "$(program arraydel)" "$scratch/in"
    expect_status "arraydel 10 MB number" 0
    printf "${before}Updated Array: 1 2 3 4 -1 \n" >"$scratch/expected"
    expect_output "arraydel 10 MB number" "$scratch/expected"
}

case $group in
    blockalloc) blockalloc_faults ;;
    memory) blockalloc_memory ;;
    pagefifo) pagefifo_faults ;;
    arraydel) arraydel_faults ;;
    *) echo "unknown group: $group" >&2; exit 2 ;;
esac
printf '%d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
