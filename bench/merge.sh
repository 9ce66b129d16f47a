#!/usr/bin/env bash
# Joins ten files with partwell-cli merge and with cat(1); 256 MiB of UTF-8 text in eight files
# with encoding handling and with iconv(1); and 64 MiB of simplified Chinese in UTF-16 followed by
# a Big5 page (so nearly every character becomes "?") against iconv -c of the same conversion.
# Same run, same inputs; prints the ratios of the medians and partwell-cli's peak memory.
#   bench/merge.sh [TOTAL_MIB] [ROUNDS]     (defaults: 1000 MiB in ten files, 3 rounds; medians)
# Each run starts with no output of another on disk or in the page cache, its inputs cached and
# nothing left to write back; outputs go beside the input folders, never into them (a glob over
# the inputs would take an earlier output in); the two tools take turns going first.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-1000}
rounds=${2:-3}

mkdir "$work/bin" "$work/text" "$work/big5"
for i in $(seq 10); do head -c $(((mib << 20) / 10)) /dev/urandom > "$work/bin/part_$i"; done
# Whole lines of Chinese and ASCII, so every file is valid UTF-8.
text_mib=$((mib < 256 ? mib : 256))
line='这是一行用来测试合并的中文文本，其中也有 ASCII text 0123456789。'
lines=$(((text_mib << 20) / 8 / $(printf '%s\n' "$line" | wc -c)))
for i in $(seq 8); do { yes "$line" || true; } | head -n "$lines" > "$work/text/t_$i.txt"; done
# Simplified Chinese that Big5 mostly lacks, in UTF-16LE with its mark, then a Big5 page.
big5_mib=$((mib < 64 ? mib : 64))
simplified='这个简体中文段落里的许多汉字在繁体字符集中没有对应的写法，转换时会变成问号。'
{ printf '\xFF\xFE'; { yes "$simplified" || true; } | head -c $((big5_mib << 19)) \
    | iconv -f UTF-8 -t UTF-16LE; } > "$work/big5/1.txt" 2>/dev/null || true
printf '<html><head><meta charset="big5"></head><body>%s</body></html>\n' \
    "$(printf '繁體中文頁面' | iconv -f UTF-8 -t BIG5)" > "$work/big5/2.html"
tail -c +3 "$work/big5/1.txt" > "$work/big5.utf16le"

# compare LABEL TOOL OUTPUT THEIR_OUTPUT OURS THEIRS INPUT...: medians of both and their ratio
compare() {
    local label=$1 tool=$2 out=$3 their_out=$4 ours=$5 theirs=$6
    shift 6
    local a=() b=() round
    for round in $(seq "$rounds"); do
        for side in ours theirs; do
            [ $((round % 2)) -eq 0 ] && side=$([ "$side" = ours ] && echo theirs || echo ours)
            rm -f "$out" "$their_out"
            settle "$@"
            if [ "$side" = ours ]; then a+=("$(seconds bash -c "$ours")")
            else b+=("$(seconds bash -c "$theirs")"); fi
        done
    done
    rm -f "$out" "$their_out"
    local ma mb
    ma=$(printf '%s\n' "${a[@]}" | median)
    mb=$(printf '%s\n' "${b[@]}" | median)
    printf '%-38s partwell %6.2fs   %-8s %6.2fs   ratio %.2f\n' "$label" "$ma" "$tool" "$mb" \
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
    rm -f "$out"
    printf 'peak memory, %-21s %7d KiB   output %7d KiB   ratio %.2f\n' "$label:" "$kib" "$size" \
        "$(echo "$kib / $size" | bc -l)"
}

bin_out="$work/part_1等10个文件"
compare "join 10 files / cat" cat "$bin_out" "$work/theirs" \
    "$cli merge '$work/bin'" "cat '$work'/bin/part_* > '$work/theirs'" "$work"/bin/*
text_out="$work/t_1等8个文件.txt"
compare "--handle-encoding 8 files / iconv" iconv "$text_out" "$work/theirs" \
    "$cli merge --handle-encoding '$work/text'" \
    "iconv -f UTF-8 -t GB18030 '$work'/text/t_*.txt > '$work/theirs'" "$work"/text/*
big5_out="$work/1等2个文件.txt"
compare "--handle-encoding UTF-16 to Big5 / iconv -c" "iconv -c" "$big5_out" "$work/theirs" \
    "$cli merge --handle-encoding '$work/big5'" \
    "iconv -c -f UTF-16LE -t BIG5 '$work/big5.utf16le' > '$work/theirs'" "$work"/big5/* \
    "$work/big5.utf16le"

peak "join 10 files" "$bin_out" merge "$work/bin"
peak "--handle-encoding" "$text_out" merge --handle-encoding "$work/text"
