#!/usr/bin/env bash
# Runs the built programs through faults of their console: output that cannot be written, input
# that is closed, unreadable, slow, non-blocking, endless, cut short or full of odd bytes, and
# memory too small for what was asked. Every run has a time limit; reaching it is a failure.
#
#   tests/faults.sh GROUP EXECUTABLE [EMULATOR [ARGS...]]
#   GROUP: a program's name, or blockalloc-memory, pagefifo-memory, pagesim-memory
#
# With an emulator (qemu-user, say) every run of the program goes through it.
set -uo pipefail
group=$1
executable=$2
shift 2
emulator=("$@")
limit=20
passed=0
failed=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

pass() { passed=$((passed + 1)); printf 'ok: %s\n' "$*"; }
fail() { failed=$((failed + 1)); printf 'FAIL: %s\n' "$*"; }

# bytes TEXT: TEXT with its backslash escapes (\n, \t, \0, \351, \033) made bytes. TEXT is never
# a format, so a % in it is just a %.
bytes() { printf '%b' "$1"; }

# run_limited KIB NAME INPUT_FILE: run, with at most KIB KiB of address space for the program.
# Natively that is ulimit -v; under qemu-user, whose own reservations such a limit would count,
# it is the guest's address space (-R).
run_limited() {
    local kib=$1 name=$2 input=$3
    if [ ${#emulator[@]} -gt 0 ] && [[ ${emulator[0]##*/} == qemu-* ]]; then
        timeout "$limit" "${emulator[0]}" -R "${kib}k" "${emulator[@]:1}" "$executable" \
            <"$input" >"$scratch/out" 2>"$scratch/err"
        status=$?
    else
        (ulimit -v "$kib" && timeout "$limit" "${emulator[@]}" "$executable" \
            <"$input" >"$scratch/out" 2>"$scratch/err")
        status=$?
    fi
    [ "$status" -eq 124 ] && fail "$name: no end within ${limit}s"
}

# run NAME INPUT_FILE: runs the program with the time limit; sets status.
run() {
    local name=$1 input=$2
    timeout "$limit" "${emulator[@]}" "$executable" <"$input" >"$scratch/out" 2>"$scratch/err"
    status=$?
    [ "$status" -eq 124 ] && fail "$name: no end within ${limit}s"
}

expect_status() {  # NAME WANTED
    if [ "$status" -eq "$2" ]; then pass "$1: exit status $2"; else fail "$1: exit status $status, expected $2"; fi
}

expect_output() {  # NAME FILE_WITH_EXPECTED_BYTES
    if cmp -s "$scratch/out" "$2"; then pass "$1: output"; else fail "$1: output differs from $2"; fi
}

expect_no_errors() {  # NAME
    if [ -s "$scratch/err" ]; then fail "$1: wrote to standard error: $(head -c 200 "$scratch/err")"; else pass "$1: nothing on standard error"; fi
}

expect_error_line() {  # NAME LINE: standard error is exactly that one line
    if [ "$(cat "$scratch/err")" = "$2" ] && [ "$(wc -l <"$scratch/err")" -eq 1 ]; then
        pass "$1: one line on standard error"
    else
        fail "$1: standard error was: $(head -c 200 "$scratch/err")"
    fi
}

# A write that fails, to a full device or a closed descriptor: status 1 and one line on stderr.
check_write_failures() {
    local name=$1 input=$2
    if [ -w /dev/full ]; then
        timeout "$limit" "${emulator[@]}" "$executable" <"$input" >/dev/full 2>"$scratch/err"
        status=$?
        expect_status "$name to /dev/full" 1
        expect_error_line "$name to /dev/full" "$name: cannot write to standard output: No space left on device"
    fi
    timeout "$limit" "${emulator[@]}" "$executable" <"$input" >&- 2>"$scratch/err"
    status=$?
    expect_status "$name with standard output closed" 1
    expect_error_line "$name with standard output closed" "$name: cannot write to standard output: Bad file descriptor"
}

# Input that cannot be read (closed, a directory): status 1, one line naming the reason, and the
# first prompt, which was written before the read, stays.
check_read_failures() {
    local name=$1 first_prompt=$2
    bytes "$first_prompt" >"$scratch/expected"
    timeout "$limit" "${emulator[@]}" "$executable" <&- >"$scratch/out" 2>"$scratch/err"
    status=$?
    expect_status "$name closed input" 1
    expect_output "$name closed input" "$scratch/expected"
    expect_error_line "$name closed input" "$name: cannot read standard input: Bad file descriptor"

    run "$name input from a directory" /
    expect_status "$name input from a directory" 1
    expect_output "$name input from a directory" "$scratch/expected"
    expect_error_line "$name input from a directory" "$name: cannot read standard input: Is a directory"
}

# Input that is empty or cut after any of its lines: a clean end, status 0, and what is written is
# the start of what the whole input gives.
check_input_ends() {
    local name=$1 input=$2 lines k size
    run "$name whole" "$input"
    expect_status "$name whole" 0
    cp "$scratch/out" "$scratch/whole"

    : >"$scratch/empty"
    run "$name empty input" "$scratch/empty"
    expect_status "$name empty input" 0
    expect_no_errors "$name empty input"

    lines=$(wc -l <"$input")
    for ((k = 0; k < lines; k++)); do
        head -n "$k" "$input" >"$scratch/cut"
        run "$name cut after $k lines" "$scratch/cut"
        expect_status "$name cut after $k lines" 0
        size=$(wc -c <"$scratch/out")
        if cmp -s -n "$size" "$scratch/out" "$scratch/whole"; then pass "$name cut after $k lines: start of the whole output"; else fail "$name cut after $k lines: output is not the start of the whole session's"; fi
    done
}

# cpu_below NAME LIMIT: the user and system time that bash's `time` wrote to $scratch/cpu (as
# "USER SYSTEM" in seconds) add up to less than LIMIT seconds.
cpu_below() {
    local name=$1 limit=$2 cpu
    cpu=$(awk '{ print $1 + $2 }' "$scratch/cpu")
    if awk -v c="$cpu" -v l="$limit" 'BEGIN { exit !(c < l) }'; then
        pass "$name: ${cpu}s of CPU, under ${limit}s"
    else
        fail "$name: ${cpu}s of CPU while it waited, ${limit}s at most"
    fi
}

# non_blocking STREAM PROGRAM...: runs PROGRAM with STREAM (STDIN or STDOUT) in non-blocking mode,
# through exec's list form, which never meets a shell (a path may have blanks), with the time limit.
non_blocking() {
    local stream=$1
    shift
    timeout "$limit" perl -MFcntl -e '$s = shift; open(my $h, $s eq "STDIN" ? "<&=" : ">&=", $s eq "STDIN" ? 0 : 1) or die "$s: $!"; fcntl($h, F_SETFL, fcntl($h, F_GETFL, 0) | O_NONBLOCK) or die "fcntl: $!"; exec { $ARGV[0] } @ARGV or die "exec: $!"' \
        "$stream" "$@"
}

# Input that comes in two parts two seconds apart through a descriptor in non-blocking mode: the
# program waits for the second part instead of taking "no data yet" for the end, and waits
# without spinning: its CPU time stays far below the wait.
check_non_blocking_input() {
    local name=$1 input=$2 half
    half=$(( $(wc -c <"$input") / 2 ))
    { head -c "$half" "$input"; sleep 2; tail -c +"$((half + 1))" "$input"; } |
        { TIMEFORMAT='%U %S'; time non_blocking STDIN "${emulator[@]}" "$executable" \
            >"$scratch/out" 2>"$scratch/err"; } 2>"$scratch/cpu"
    status=${PIPESTATUS[1]}
    expect_status "$name non-blocking input in two parts" 0
    expect_output "$name non-blocking input in two parts" "$scratch/whole"
    expect_no_errors "$name non-blocking input in two parts"
    cpu_below "$name non-blocking input in two parts" 0.5
}

# Output into a full pipe through a descriptor in non-blocking mode, whose reader starts two
# seconds late: nothing is lost, and the program waits for room without spinning.
check_non_blocking_output() {
    local name=$1 input=$2
    run "$name whole" "$input"
    cp "$scratch/out" "$scratch/whole"
    { TIMEFORMAT='%U %S'; time non_blocking STDOUT "${emulator[@]}" "$executable" \
        <"$input" 2>"$scratch/err"; } 2>"$scratch/cpu" | { sleep 2; cat >"$scratch/out"; }
    status=${PIPESTATUS[0]}
    expect_status "$name non-blocking output into a late pipe" 0
    expect_output "$name non-blocking output into a late pipe" "$scratch/whole"
    expect_no_errors "$name non-blocking output into a late pipe"
    cpu_below "$name non-blocking output into a late pipe" 0.5
}

# check_case NAME INPUT EXPECTED: backslash escapes in both stand for bytes.
check_case() {
    local name=$1
    bytes "$2" >"$scratch/in"
    bytes "$3" >"$scratch/expected"
    run "$name" "$scratch/in"
    expect_status "$name" 0
    expect_output "$name" "$scratch/expected"
    expect_no_errors "$name"
}

# check_answers_at_once NAME EXPECTED: given "x" and then nothing for a while, the program answers
# and ends without waiting for the rest of the input.
check_answers_at_once() {
    local name=$1
    bytes "$2" >"$scratch/expected"
    { printf x; sleep 4; } | timeout 2 "${emulator[@]}" "$executable" >"$scratch/out" 2>"$scratch/err"
    status=$?
    expect_status "$name answers x at once" 0
    expect_output "$name answers x at once" "$scratch/expected"
}

# check_endless_zeros NAME EXPECTED: NUL bytes without end are not a number; the program answers.
check_endless_zeros() {
    local name=$1
    bytes "$2" >"$scratch/expected"
    run "$name input of endless NUL bytes" /dev/zero
    expect_status "$name input of endless NUL bytes" 0
    expect_output "$name input of endless NUL bytes" "$scratch/expected"
}

menu='1.Add file\n2.Remove file\n3.Display blocks\n4.End\n'
ask_n='Enter the number of blocks in the memory: '
ask_file='please enter your file name with only one letter:\nEnter the number of blocks in the file:\n'
header='  \tfile\tstart\tlentgh\n'

blockalloc_faults() {
    printf '6\n1\nA\n2\n1\nB\n3\n3\n2\n1\n3\n4\n' >"$scratch/session"
    check_write_failures blockalloc "$scratch/session"
    check_read_failures blockalloc "$ask_n"
    check_input_ends blockalloc "$scratch/session"
    check_non_blocking_input blockalloc "$scratch/session"
    printf '100000\n3\n4\n' >"$scratch/display"
    check_non_blocking_output blockalloc "$scratch/display"
    check_case "blockalloc NUL and high bytes as names" \
        '2\n1\n\0\n1\n1\n\351\n1\n3\n4\n' \
        "$ask_n$menu$ask_file$menu$ask_file${menu}0.\t\0\n1.\t\351\n${header}0.\t\0\t0\t1\n1.\t\351\t1\t1\n$menu"
    check_case "blockalloc CRLF line ends" '2\r\n3\r\n4\r\n' \
        "$ask_n${menu}0.\tH\n1.\tH\n$header$menu"
    local bs='\\'
    check_case "blockalloc percent sign and backslash as names" "2\n1\n%\n1\n1\n$bs\n1\n3\n4\n" \
        "$ask_n$menu$ask_file$menu$ask_file${menu}0.\t%\n1.\t$bs\n${header}0.\t%\t0\t1\n1.\t$bs\t1\t1\n$menu"
    bytes "$ask_n${menu}wrong choice$menu" >"$scratch/expected"
    { printf '5\n'; head -c 10000000 /dev/zero | tr '\0' 'x'; } >"$scratch/in"
    run "blockalloc 10 MB entry" "$scratch/in"
    expect_status "blockalloc 10 MB entry" 0
    expect_output "blockalloc 10 MB entry" "$scratch/expected"
    { printf '5\n'; head -c 10000000 /dev/zero | tr '\0' '7'; } >"$scratch/in"
    run "blockalloc 10 MB number" "$scratch/in"
    expect_status "blockalloc 10 MB number" 0
    expect_output "blockalloc 10 MB number" "$scratch/expected"
}

# A map larger than the process may have (10^9 blocks, and the largest count there is, which no
# 32-bit machine has room for either): the message, the prompt again, then a normal session.
blockalloc_memory() {
    local blocks
    for blocks in 1000000000 2147483647; do
        printf '%s\n2\n3\n4\n' "$blocks" >"$scratch/in"
        run_limited 262144 "blockalloc $blocks blocks beyond the memory limit" "$scratch/in"
        expect_status "blockalloc $blocks blocks beyond the memory limit" 0
        bytes "${ask_n}there isn't enough memory for that many blocks\n$ask_n${menu}0.\tH\n1.\tH\n$header$menu" >"$scratch/expected"
        expect_output "blockalloc $blocks blocks beyond the memory limit" "$scratch/expected"
    done
}

pagefifo_intro='please enter your number of input :Enter the values for the page :\n     page1    page2    page3\n'

# 10^8 pages (95.4 MiB) are stored in 146 MiB of address space, since storing them copies
# nothing. In a third of that they cannot be: status 1 and one line; no abort, no core.
pagefifo_memory() {
    { printf '100000000\n'; head -c 100000000 /dev/zero; } >"$scratch/in"
    run_limited 150000 "pagefifo 10^8 pages in 146 MiB" "$scratch/in"
    expect_status "pagefifo 10^8 pages in 146 MiB" 0
    bytes "${pagefifo_intro}1        \0\n" >"$scratch/expected"
    expect_output "pagefifo 10^8 pages in 146 MiB" "$scratch/expected"

    run_limited 50000 "pagefifo pages beyond the memory limit" "$scratch/in"
    expect_status "pagefifo pages beyond the memory limit" 1
    expect_error_line "pagefifo pages beyond the memory limit" "pagefifo: not enough memory for the pages"
    bytes 'please enter your number of input :Enter the values for the page :\n' >"$scratch/expected"
    expect_output "pagefifo pages beyond the memory limit" "$scratch/expected"
}

pagefifo_faults() {
    printf '7\na\nb\nc\na\nd\nb\ne\n' >"$scratch/session"
    check_write_failures pagefifo "$scratch/session"
    check_read_failures pagefifo 'please enter your number of input :'
    check_input_ends pagefifo "$scratch/session"
    check_non_blocking_input pagefifo "$scratch/session"
    awk 'BEGIN { print 100000; for (i = 0; i < 100000; i++) printf "%c ", 97 + i % 4 }' >"$scratch/many"
    check_non_blocking_output pagefifo "$scratch/many"
    check_case "pagefifo NUL and high bytes as pages" '3\n\0\351\0' \
        "${pagefifo_intro}1        \0\n2        \0        \351\n"
    check_case "pagefifo CRLF line ends" '2\r\na\r\nb\r\n' \
        "${pagefifo_intro}1        a\n2        a        b\n"
    check_case "pagefifo percent sign as a page" '2\n%s\n' \
        "${pagefifo_intro}1        %\n2        %        s\n"
    check_answers_at_once pagefifo "$pagefifo_intro"
    check_endless_zeros pagefifo "$pagefifo_intro"
    { printf '2147483647\n'; head -c 10000000 /dev/zero | tr '\0' 'a'; } >"$scratch/in"
    run "pagefifo 10 MB of one page" "$scratch/in"
    expect_status "pagefifo 10 MB of one page" 0
    bytes "${pagefifo_intro}1        a\n" >"$scratch/expected"
    expect_output "pagefifo 10 MB of one page" "$scratch/expected"
}

pagesim_memory() {
    # 5 * 10^7 references of one page: 200 MB of page numbers, in 100 MiB of address space.
    yes 1 | head -n 50000000 >"$scratch/in"
    run_limited 102400 "pagesim references beyond the memory limit" "$scratch/in"
    expect_status "pagesim references beyond the memory limit" 1
    expect_error_line "pagesim references beyond the memory limit" "pagesim: not enough memory for the references"
}

pagesim_faults() {
    local heading='FIFO, 3 frames, 2 references\nstep  page  result  victim  frame1  frame2  frame3\n'
    local totals='FIFO: 2 faults, 0 hits, hit ratio 0.00%\n'
    printf '1 2 3 4\n1 2 5 1\n2 3 4 5\n' >"$scratch/session"
    check_write_failures pagesim "$scratch/session"
    check_read_failures pagesim ''
    run "pagesim whole" "$scratch/session"
    expect_status "pagesim whole" 0
    cp "$scratch/out" "$scratch/whole"
    check_non_blocking_input pagesim "$scratch/session"
    awk 'BEGIN { for (i = 0; i < 20000; i++) printf "%d ", i % 5 }' >"$scratch/many"
    check_non_blocking_output pagesim "$scratch/many"
    check_case "pagesim NUL and high bytes as pages" '\0 \351' \
        "${heading}   1     \0  fault                \0\n   2     \351  fault                \0       \351\n$totals"
    check_case "pagesim CRLF line ends" 'a\r\nb\r\n' \
        "${heading}   1     a  fault                a\n   2     b  fault                a       b\n$totals"
    check_case "pagesim percent sign as a page" '%s,%d' \
        "${heading}   1    %s  fault               %s\n   2    %d  fault               %s      %d\n$totals"
    head -c 10000000 /dev/zero | tr '\0' 'a' >"$scratch/in"
    run "pagesim one page of 10 MB" "$scratch/in"
    expect_status "pagesim one page of 10 MB" 0
    if [ "$(head -n 1 "$scratch/out")" = "FIFO, 3 frames, 1 reference" ]; then pass "pagesim one page of 10 MB: output"; else fail "pagesim one page of 10 MB: output"; fi
}

arraydel_faults() {
    local before='Original Array: 1 2 3 4 5 \nEnter the integer to delete: '
    printf '2\n' >"$scratch/session"
    check_write_failures arraydel "$scratch/session"
    check_read_failures arraydel "$before"
    check_input_ends arraydel "$scratch/session"
    check_non_blocking_input arraydel "$scratch/session"
    check_case "arraydel NUL byte" '\0' "${before}Updated Array: 2 3 4 5 -1 \n"
    check_case "arraydel high byte" '\351' "${before}Updated Array: 2 3 4 5 -1 \n"
    check_case "arraydel CRLF line end" '\r\n3\r\n' "${before}Updated Array: 1 2 3 5 -1 \n"
    check_answers_at_once arraydel "${before}Updated Array: 2 3 4 5 -1 \n"
    check_endless_zeros arraydel "${before}Updated Array: 2 3 4 5 -1 \n"
    head -c 10000000 /dev/zero | tr '\0' '9' >"$scratch/in"
    run "arraydel 10 MB number" "$scratch/in"
    expect_status "arraydel 10 MB number" 0
    bytes "${before}Updated Array: 1 2 3 4 -1 \n" >"$scratch/expected"
    expect_output "arraydel 10 MB number" "$scratch/expected"
}

case $group in
    blockalloc) blockalloc_faults ;;
    blockalloc-memory) blockalloc_memory ;;
    pagefifo) pagefifo_faults ;;
    pagefifo-memory) pagefifo_memory ;;
    arraydel) arraydel_faults ;;
    pagesim) pagesim_faults ;;
    pagesim-memory) pagesim_memory ;;
    *) echo "unknown group: $group" >&2; exit 2 ;;
esac
printf '%d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
