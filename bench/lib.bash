# Helpers the benchmarks source: timing one run, and the median of several.

# seconds of one run of the command, its output discarded
timed() {
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

# the same, with the folder "$work/out" emptied first, outside the timing
timed_fresh() {
    rm -rf "$work/out" && mkdir "$work/out" && sync
    timed "$@"
}

# the median of numbers given one a line
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
