# Sourced by the benchmarks: timing of one run and the median of several.

# seconds one command takes, its output discarded
seconds() {
    local start end
    sync
    start=$(date +%s.%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
