#!/usr/bin/env bash
# Splits one file by part count and by part size with partwell-cli and with split(1), in the same
# run on the same input, and prints the time ratios and partwell-cli's peak memory.
#   bench/split.sh [SIZE_MIB] [ROUNDS]      (defaults: 1024 MiB, 3 rounds; medians are compared)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-1024}
rounds=${2:-3}

head -c $((mib << 20)) /dev/urandom > "$work/input.bin"
cat "$work/input.bin" > /dev/null

# seconds of one run; the output folder is emptied first and the input cached, outside the timing
timed() {
    discard "$work/out" && mkdir "$work/out"
    settle "$work/input.bin"
    seconds "$@"
}

compare() {
    local label=$1 ours=$2 theirs=$3
    local a=() b=()
    # The two take turns going first.
    for round in $(seq "$rounds"); do
        if [ $((round % 2)) -eq 1 ]; then
            a+=("$(timed bash -c "$ours")")
            b+=("$(timed bash -c "$theirs")")
        else
            b+=("$(timed bash -c "$theirs")")
            a+=("$(timed bash -c "$ours")")
        fi
    done
    local ma mb
    ma=$(printf '%s\n' "${a[@]}" | median)
    mb=$(printf '%s\n' "${b[@]}" | median)
    printf '%-28s partwell %6.2fs   split %6.2fs   ratio %.2f\n' "$label" "$ma" "$mb" \
        "$(echo "$ma / $mb" | bc -l)"
}

compare "--parts 10 / -n 10" \
    "ln -f '$work/input.bin' '$work/out/in.bin' && $cli split --parts 10 '$work/out/in.bin'" \
    "cd '$work/out' && split -n 10 '$work/input.bin' part_"
compare "--size 100MB / -b 100M" \
    "ln -f '$work/input.bin' '$work/out/in.bin' && $cli split --size 100MB '$work/out/in.bin'" \
    "cd '$work/out' && split -b 100M '$work/input.bin' part_"

ln -f "$work/input.bin" "$work/in.bin"
for args in "--parts 10" "--size 100MB" "--size 1MB"; do
    rm -rf "$work/in"
    peak=$(/usr/bin/time -f '%M' "$cli" split $args "$work/in.bin" 2>&1 >/dev/null | tail -1)
    printf 'peak memory, %-14s %6d KiB\n' "$args:" "$peak"
done
