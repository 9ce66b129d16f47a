#!/usr/bin/env bash
# Detects and decodes a UTF-8 text with partwell-cli and converts it with iconv(1), in the same
# run on the same input, and prints the time ratio, partwell-cli's peak memory and the speed of
# the UTF-8 test. Build a Release tree first (cmake -B build-release -DCMAKE_BUILD_TYPE=Release).
#   bench/detect.sh [SIZE_MIB] [ROUNDS]      (defaults: 256 MiB, 5 rounds; medians are compared)
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${PARTWELL_CLI:-build-release/bin/partwell-cli}
lib=${PARTWELL_ENGINE_LIB:-build-release/libpartwell_engine.a}
mib=${1:-256}
rounds=${2:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/partwell-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Chinese prose with ASCII words and digits, in whole lines so no character is cut at the end.
line='第一章 开始。他说：“你好，世界！” The year was 2024; 天气很好，我们去了公园 (park) 散步。'
bytes=$(( $(printf '%s\n' "$line" | wc -c) ))
awk -v l="$line" -v n=$(( (mib << 20) / bytes )) 'BEGIN { for (i = 0; i < n; i++) print l }' \
    > "$work/input.txt"
cat "$work/input.txt" > /dev/null

timed() {
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# detect runs the whole cascade and decodes into the code page; --decode also writes UTF-8 out
ours=() decode=() theirs=()
for _ in $(seq "$rounds"); do
    ours+=("$(timed "$cli" detect "$work/input.txt")")
    decode+=("$(timed "$cli" detect --decode "$work/input.txt")")
    theirs+=("$(timed iconv -f UTF-8 -t GB18030 "$work/input.txt")")
done
mo=$(printf '%s\n' "${ours[@]}" | median)
md=$(printf '%s\n' "${decode[@]}" | median)
mt=$(printf '%s\n' "${theirs[@]}" | median)
echo "input: $(( $(wc -c < "$work/input.txt") >> 20 )) MiB of UTF-8, result: $("$cli" detect "$work/input.txt" | cut -f1)"
printf 'detect (decode to GB18030)    %6.2fs   iconv %6.2fs   ratio %.2f\n' "$mo" "$mt" \
    "$(echo "$mo / $mt" | bc -l)"
printf 'detect --decode (and to UTF-8) %5.2fs   iconv %6.2fs   ratio %.2f\n' "$md" "$mt" \
    "$(echo "$md / $mt" | bc -l)"
peak=$(/usr/bin/time -f '%M' "$cli" detect "$work/input.txt" 2>&1 >/dev/null | tail -1)
printf 'peak memory of detect         %6d KiB (%.2f x the file)\n' "$peak" \
    "$(echo "$peak * 1024 / $(wc -c < "$work/input.txt")" | bc -l)"

if [[ -f $lib ]]; then
    g++ -std=c++20 -O2 -Isrc bench/utf8_speed.cpp "$lib" $(pkg-config --libs libpcre2-8) -lz \
        -o "$work/utf8_speed"
    "$work/utf8_speed"
fi
