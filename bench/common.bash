# Sourced by the benchmarks (from the project's root): the program measured, a scratch folder
# that goes when the benchmark ends, timing of one run and the median of several.

cli=${PARTWELL_CLI:-build/bin/partwell-cli}
# Under run.sh the benchmarks share one scratch folder, deleted only when all have run: thousands
# of files deleted as one ends would slow the next one's file creation (see discard). Each empties
# its own files as it ends instead.
if [ -n "${PARTWELL_BENCH_SCRATCH:-}" ]; then
    work=$(mktemp -d "$PARTWELL_BENCH_SCRATCH/XXXXXX")
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/partwell-bench-XXXXXX")
fi
remove_scratch() {
    if [ -n "${PARTWELL_BENCH_SCRATCH:-}" ]; then
        find "$work" -type f -exec truncate -s 0 {} +
    else
        rm -rf "$work"
    fi
}
trap remove_scratch EXIT
mkdir "$work/.discarded"

# seconds one command takes, its output discarded
seconds() {
    local start end
    sync
    start=$(date +%s.%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
# settle FILE...: the state each timed run starts from: earlier runs' outputs written out, so no
# run pays for another's writeback, and the inputs in the page cache, so no run reads the disk
# where the other read memory.
settle() {
    sync
    cat "$@" > /dev/null
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# chinese_prose FILE BYTES: whole lines of Chinese prose with ASCII words and digits in UTF-8,
# many short phrases a line, about BYTES long; no character is cut at the end.
chinese_prose() {
    local line='第一章 开始。他说：“你好，世界！” The year was 2024; 天气很好，我们去了公园 (park) 散步。'
    local bytes=$(( $(printf '%s\n' "$line" | wc -c) ))
    awk -v l="$line" -v n=$(( $2 / bytes )) 'BEGIN { for (i = 0; i < n; i++) print l }' > "$1"
}

# discard PATH...: earlier runs' outputs out of the way, their files emptied (which frees their
# space) but deleted only when the benchmark ends. Without a journal, ext4 passes over every inode
# freed in the last minute whenever it creates a file, so a run that creates thousands of parts
# right after the last run's thousands were deleted took up to three times as long, and a program
# that writes one file hardly paid at all. Inputs linked into PATH are left whole.
discard() {
    local path
    for path in "$@"; do
        [ -e "$path" ] || continue
        find "$path" -type f -links 1 -exec truncate -s 0 {} +
        mv "$path" "$(mktemp -d "$work/.discarded/XXXXXX")/"
    done
}

# creation_seconds DIR N: seconds to create N empty files in a new folder DIR (on the file system
# a benchmark writes to), which goes again. A mode that writes thousands of parts cannot be faster
# than this, whatever its own work costs.
creation_seconds() {
    mkdir "$1"
    sync
    local start end
    start=$(date +%s.%N)
    (cd "$1" && seq "$2" | xargs touch)
    end=$(date +%s.%N)
    discard "$1"
    echo "$end - $start" | bc
}

# timed_run COMMAND...: seconds of one run, with $work/out emptied and $input cached first, outside
# the timing.
timed_run() {
    discard "$work/out" && mkdir "$work/out"
    settle "$input"
    seconds "$@"
}

# compare_with_split LABEL OURS THEIRS: the medians of $rounds timed runs of two shell commands,
# partwell-cli's and split(1)'s, which take turns going first, and their ratio; the label is
# padded to $label_width.
compare_with_split() {
    local label=$1 ours=$2 theirs=$3
    local a=() b=()
    for round in $(seq "$rounds"); do
        if [ $((round % 2)) -eq 1 ]; then
            a+=("$(timed_run bash -c "$ours")")
            b+=("$(timed_run bash -c "$theirs")")
        else
            b+=("$(timed_run bash -c "$theirs")")
            a+=("$(timed_run bash -c "$ours")")
        fi
    done
    local ma mb
    ma=$(printf '%s\n' "${a[@]}" | median)
    mb=$(printf '%s\n' "${b[@]}" | median)
    printf "%-${label_width:-28}s partwell %6.2fs   split %6.2fs   ratio %.2f\n" "$label" "$ma" \
        "$mb" "$(echo "$ma / $mb" | bc -l)"
}
