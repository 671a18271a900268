# What the whole-program benchmarks share: timing a shell command line, and the median of several
# runs. Sourced; $runs is how many runs a median takes, and $baseline_ms (0 if unset) is taken off
# each time: a script that sets it to the median of `true` times the commands without the shell.

# seconds COMMAND: wall time of one run of a shell command line, in milliseconds.
seconds() {
    local start end took
    start=$(date +%s%N)
    bash -c "$1"
    end=$(date +%s%N)
    took=$(( (end - start) / 1000000 - ${baseline_ms:-0} ))
    echo "$(( took > 0 ? took : 0 ))"
}

# median_ms COMMAND: the median over $runs runs, in milliseconds.
median_ms() {
    local times=() i
    for ((i = 0; i < runs; i++)); do times+=("$(seconds "$1")"); done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}

# peak_mib COMMAND...: the peak resident memory of one run, in MiB (needs /usr/bin/time).
peak_mib() {
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1 | awk '{ printf "%.1f", $1 / 1024 }'
}
