#!/usr/bin/env bash
# Names a large text part after a phrase of its text (split --rename-by-content) with partwell-cli
# and converts the same file with iconv(1), in the same run, and prints the time ratio and both
# peak memories. Naming reads and decodes the part once, so iconv over it is the yardstick.
#   bench/rename.sh [SIZE_MIB] [ROUNDS]      (defaults: 256 MiB, 3 rounds; medians are compared)
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${PARTWELL_CLI:-build/bin/partwell-cli}
mib=${1:-256}
rounds=${2:-3}
work=$(mktemp -d "${TMPDIR:-/tmp}/partwell-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Chinese prose in UTF-8, many short phrases per line.
line='第一章 开始。他说：“你好，世界！” The year was 2024; 天气很好，我们去了公园 (park) 散步。'
bytes=$(( $(printf '%s\n' "$line" | wc -c) ))
awk -v l="$line" -v n=$(( (mib << 20) / bytes )) 'BEGIN { for (i = 0; i < n; i++) print l }' \
    > "$work/input.txt"
cat "$work/input.txt" > /dev/null

# "seconds peak-KiB" of one run
measured() {
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > /dev/null 2>&1 || true
    cat "$work/time"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

a=() b=() pa=0 pb=0
for _ in $(seq "$rounds"); do
    rm -rf "$work/input"
    read -r t m < <(measured "$cli" split --parts 1 --rename-by-content "$work/input.txt")
    a+=("$t"); pa=$m
    read -r t m < <(measured iconv -f UTF-8 -t GB18030 "$work/input.txt")
    b+=("$t"); pb=$m
done
ma=$(printf '%s\n' "${a[@]}" | median)
mb=$(printf '%s\n' "${b[@]}" | median)
printf 'rename-by-content %d MiB   partwell %6.2fs %5d MiB   iconv %6.2fs %5d MiB   ratio %.2f\n' \
    "$mib" "$ma" $((pa >> 10)) "$mb" $((pb >> 10)) "$(echo "$ma / $mb" | bc -l)"
