#!/usr/bin/env bash
# Joins ten files with partwell-cli merge and with cat(1), and 256 MiB of UTF-8 text in eight files
# with encoding handling and with iconv(1), in the same run on the same inputs; prints the time
# ratios and partwell-cli's peak memory.
#   bench/merge.sh [TOTAL_MIB] [ROUNDS]     (defaults: 1000 MiB in ten files, 3 rounds; medians)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-1000}
rounds=${2:-3}

mkdir "$work/bin" "$work/text"
for i in $(seq 10); do head -c $(((mib << 20) / 10)) /dev/urandom > "$work/bin/part_$i"; done
# Whole lines of Chinese and ASCII, so every file is valid UTF-8.
text_mib=$((mib < 256 ? mib : 256))
line='这是一行用来测试合并的中文文本，其中也有 ASCII text 0123456789。'
lines=$(((text_mib << 20) / 8 / $(printf '%s\n' "$line" | wc -c)))
for i in $(seq 8); do { yes "$line" || true; } | head -n "$lines" > "$work/text/t_$i.txt"; done
cat "$work"/bin/* "$work"/text/* > /dev/null

# compare LABEL OTHER_TOOL OUTPUT OURS THEIRS: medians of both and their ratio; outputs removed
compare() {
    local label=$1 tool=$2 out=$3 ours=$4 theirs=$5 a=() b=()
    for _ in $(seq "$rounds"); do
        rm -f "$out" "$work/theirs"
        a+=("$(seconds bash -c "$ours")")
        rm -f "$work/theirs"
        b+=("$(seconds bash -c "$theirs")")
    done
    local ma mb
    ma=$(printf '%s\n' "${a[@]}" | median)
    mb=$(printf '%s\n' "${b[@]}" | median)
    printf '%-34s partwell %6.2fs   %-5s %6.2fs   ratio %.2f\n' "$label" "$ma" "$tool" "$mb" \
        "$(echo "$ma / $mb" | bc -l)"
}

# peak LABEL OUTPUT ARGS...: partwell-cli's peak resident memory against the output's size
peak() {
    local label=$1 out=$2
    shift 2
    rm -f "$out"
    local kib
    kib=$(/usr/bin/time -f '%M' "$cli" "$@" 2>&1 >/dev/null | tail -1)
    local size=$(($(stat -c %s "$out") >> 10))
    printf 'peak memory, %-21s %7d KiB   output %7d KiB   ratio %.2f\n' "$label:" "$kib" "$size" \
        "$(echo "$kib / $size" | bc -l)"
}

bin_out="$work/bin/part_1等10个文件"
compare "join 10 files / cat" cat "$bin_out" \
    "$cli merge --no-parent-folder '$work/bin'" "cat '$work'/bin/part_* > '$work/theirs'"
text_out="$work/text/t_1等8个文件.txt"
compare "--handle-encoding 8 files / iconv" iconv "$text_out" \
    "$cli merge --no-parent-folder --handle-encoding '$work/text'" \
    "iconv -f UTF-8 -t GB18030 '$work'/text/t_*.txt > '$work/theirs'"

peak "join 10 files" "$bin_out" merge --no-parent-folder "$work/bin"
peak "--handle-encoding" "$text_out" merge --no-parent-folder --handle-encoding "$work/text"
