#!/usr/bin/env bash
# Splits a GBK text at a delimiter line that comes every ~4 KiB with partwell-cli, and with
# csplit(1) at the same line; converts the same file with iconv(1). All in the same run on the
# same input; prints the time ratios and partwell-cli's peak memory against the file's size.
#   bench/delimiter.sh [SIZE_MIB] [ROUNDS]      (defaults: 256 MiB, 3 rounds; medians are compared)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-256}
rounds=${2:-3}

# About 4 KiB of GBK prose with CR LF line ends, then the delimiter line; repeated to the size.
delimiter='【分节】'
line='他说：“这是一段用来测试分割速度的中文文本，其中有标点、数字 2024 和 English words。”'
block=$(for _ in $(seq 44); do printf '%s\r\n' "$line"; done; printf '%s\r\n' "$delimiter")
printf '%s' "$block" | iconv -f UTF-8 -t GBK > "$work/block.txt"
block_bytes=$(stat -c %s "$work/block.txt")
whole=$(( (mib << 20) / block_bytes * block_bytes ))
cp "$work/block.txt" "$work/input.txt"
while [ "$(stat -c %s "$work/input.txt")" -lt "$whole" ]; do
    cat "$work/input.txt" "$work/input.txt" > "$work/doubled.txt"
    mv "$work/doubled.txt" "$work/input.txt"
done
truncate -s "$whole" "$work/input.txt"
gbk_delimiter=$(printf '%s' "$delimiter" | iconv -f UTF-8 -t GBK)
size_kib=$(( $(stat -c %s "$work/input.txt") >> 10 ))
cat "$work/input.txt" > /dev/null

# seconds of one run; the output folder is emptied first, outside the timing
timed_fresh() {
    discard "$work/out" && mkdir "$work/out"
    settle "$work/input.txt"
    seconds "$@"
}

# Each round times, in turn: partwell at the delimiter, csplit at it, partwell at a delimiter that
# never occurs (decoding, the scan and one part: the same work as a conversion), and iconv.
ours() {
    echo "ln -f '$work/input.txt' '$work/out/in.txt' && $cli split --delimiter '$1' '$work/out/in.txt'"
}
times=("" "" "" "")
for _ in $(seq "$rounds"); do
    times[0]+="$(timed_fresh bash -c "$(ours "$delimiter")") "
    times[1]+="$(timed_fresh bash -c "cd '$work/out' && LC_ALL=C csplit -s -z -n 6 '$work/input.txt' '/$gbk_delimiter/' '{*}'") "
    times[2]+="$(timed_fresh bash -c "$(ours '【未见】')") "
    times[3]+="$(timed_fresh bash -c "iconv -f GBK -t UTF-8 '$work/input.txt' > '$work/out/converted.txt'") "
done
med() { printf '%s\n' $1 | median; }
many=$(med "${times[0]}") csplit_s=$(med "${times[1]}") none=$(med "${times[2]}") iconv_s=$(med "${times[3]}")
ratio() { echo "$1 / $2" | bc -l; }
printf '%-40s partwell %7.2fs   csplit %7.2fs   ratio %.2f\n' "--delimiter, a part every 4 KiB" \
    "$many" "$csplit_s" "$(ratio "$many" "$csplit_s")"
printf '%-40s partwell %7.2fs   iconv  %7.2fs   ratio %.2f\n' "--delimiter, a part every 4 KiB" \
    "$many" "$iconv_s" "$(ratio "$many" "$iconv_s")"
printf '%-40s partwell %7.2fs   iconv  %7.2fs   ratio %.2f\n' "--delimiter, never found (one part)" \
    "$none" "$iconv_s" "$(ratio "$none" "$iconv_s")"

# Peak memory where it is highest: one part holding the whole text.
discard "$work/out" && mkdir "$work/out" && ln -f "$work/input.txt" "$work/out/in.txt"
peak=$(/usr/bin/time -f '%M' "$cli" split --delimiter '【未见】' "$work/out/in.txt" 2>&1 \
    >/dev/null | tail -1)
printf 'peak memory %d KiB for a file of %d KiB (%.2f times)\n' "$peak" "$size_kib" \
    "$(echo "$peak / $size_kib" | bc -l)"
