#!/usr/bin/env bash
# Splits one file by part count and by part size with partwell-cli and with split(1), in the same
# run on the same input, and prints the time ratios and partwell-cli's peak memory.
#   bench/split.sh [SIZE_MIB] [ROUNDS]      (defaults: 1024 MiB, 3 rounds; medians are compared)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-1024}
rounds=${2:-3}
input=$work/input.bin

head -c $((mib << 20)) /dev/urandom > "$work/input.bin"
cat "$work/input.bin" > /dev/null

compare_with_split "--parts 10 / -n 10" \
    "ln -f '$work/input.bin' '$work/out/in.bin' && $cli split --parts 10 '$work/out/in.bin'" \
    "cd '$work/out' && split -n 10 '$work/input.bin' part_"
compare_with_split "--size 100MB / -b 100M" \
    "ln -f '$work/input.bin' '$work/out/in.bin' && $cli split --size 100MB '$work/out/in.bin'" \
    "cd '$work/out' && split -b 100M '$work/input.bin' part_"

ln -f "$work/input.bin" "$work/in.bin"
for args in "--parts 10" "--size 100MB" "--size 1MB"; do
    rm -rf "$work/in"
    peak=$(/usr/bin/time -f '%M' "$cli" split $args "$work/in.bin" 2>&1 >/dev/null | tail -1)
    printf 'peak memory, %-14s %6d KiB\n' "$args:" "$peak"
done
