#!/usr/bin/env bash
# Splits a GBK novel with a chapter heading every ~8 KiB into one part a chapter with
# partwell-cli, converts the same file with iconv(1) and cuts it at the same headings with
# csplit(1); all in the same run on the same input. Prints the time ratios and partwell-cli's
# peak memory against the file's size.
#   bench/chapters.sh [SIZE_MIB] [ROUNDS]      (defaults: 256 MiB, 3 rounds; medians are compared)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-256}
rounds=${2:-3}

# One chapter: a heading, then about 8 KiB of GBK prose in CR LF lines. The chapter number runs
# on from block to block once the block is repeated, which the split does not care about.
line='他说：“这是一段用来测试分章速度的中文文本，其中有标点、数字 2024 和 English words。”'
{
    for k in $(seq 64); do
        printf '第%d章 风起云涌\r\n' "$k"
        for _ in $(seq 87); do printf '%s\r\n' "$line"; done
    done
} | iconv -f UTF-8 -t GBK > "$work/block.txt"
block_bytes=$(stat -c %s "$work/block.txt")
whole=$(( (mib << 20) / block_bytes * block_bytes ))
cp "$work/block.txt" "$work/input.txt"
while [ "$(stat -c %s "$work/input.txt")" -lt "$whole" ]; do
    cat "$work/input.txt" "$work/input.txt" > "$work/doubled.txt"
    mv "$work/doubled.txt" "$work/input.txt"
done
truncate -s "$whole" "$work/input.txt"
size_kib=$(( $(stat -c %s "$work/input.txt") >> 10 ))
chapters=$(( whole / block_bytes * 64 ))

timed_fresh() {
    discard "$work/out" && mkdir "$work/out"
    settle "$work/input.txt"
    seconds "$@"
}
ours="ln -f '$work/input.txt' '$work/out/in.txt' && $cli split --chapters 1 '$work/out/in.txt'"
# csplit cuts the same bytes at the same headings into as many files: what creating them costs.
heading="/^$(printf '\xB5\xDA')/"
times=("" "" "")
for _ in $(seq "$rounds"); do
    times[0]+="$(timed_fresh bash -c "$ours") "
    times[1]+="$(timed_fresh bash -c "iconv -f GBK -t UTF-8 '$work/input.txt' > '$work/out/converted.txt'") "
    times[2]+="$(timed_fresh bash -c "cd '$work/out' && LC_ALL=C csplit -s -z -f x '$work/input.txt' '$heading' '{*}'") "
done
med() { printf '%s\n' $1 | median; }
split_s=$(med "${times[0]}") iconv_s=$(med "${times[1]}") csplit_s=$(med "${times[2]}")
printf '%-40s partwell %7.2fs   iconv  %7.2fs   ratio %.2f\n' \
    "--chapters 1, $chapters chapters" "$split_s" "$iconv_s" "$(echo "$split_s / $iconv_s" | bc -l)"
printf '%-40s partwell %7.2fs   csplit %7.2fs   ratio %.2f\n' \
    "  the same files cut by csplit" "$split_s" "$csplit_s" "$(echo "$split_s / $csplit_s" | bc -l)"
floor=$(creation_seconds "$work/floor" "$chapters")
printf '%-40s %7.2fs, %.2f times iconv\n' "  creating $chapters empty files alone" "$floor" \
    "$(echo "$floor / $iconv_s" | bc -l)"

discard "$work/out" && mkdir "$work/out" && ln -f "$work/input.txt" "$work/out/in.txt"
peak=$(/usr/bin/time -f '%M' "$cli" split --chapters 1 "$work/out/in.txt" 2>&1 >/dev/null | tail -1)
printf 'peak memory %d KiB for a file of %d KiB (%.2f times)\n' "$peak" "$size_kib" \
    "$(echo "$peak / $size_kib" | bc -l)"
