#!/usr/bin/env bash
# A verified round trip against the tools a user would chain instead, in the same run on the same
# input: a split with --manifest against split -n 10 then sha256sum of the source and the parts,
# and a verified join against cat then sha256sum of the output. Prints the time ratios (medians)
# and partwell-cli's peak memory.
#   bench/roundtrip.sh [SIZE_MIB] [ROUNDS]      (defaults: 1024 MiB, 3 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-1024}
rounds=${2:-3}

head -c $((mib << 20)) /dev/urandom > "$work/input.bin"
cat "$work/input.bin" > /dev/null

ratio() {
    local label=$1 ours=$2 theirs=$3 prepare=$4
    local a=() b=()
    for _ in $(seq "$rounds"); do
        bash -c "$prepare"
        a+=("$(seconds bash -c "$ours")")
        bash -c "$prepare"
        b+=("$(seconds bash -c "$theirs")")
    done
    local ma mb
    ma=$(printf '%s\n' "${a[@]}" | median)
    mb=$(printf '%s\n' "${b[@]}" | median)
    printf '%-34s partwell %6.2fs   tools %6.2fs   ratio %.2f\n' "$label" "$ma" "$mb" \
        "$(echo "$ma / $mb" | bc -l)"
}

# The split: the source and the parts are hashed by both.
ratio "split --parts 10 --manifest" \
    "$cli split --parts 10 --manifest '$work/out/in.bin'" \
    "cd '$work/out' && split -n 10 in.bin part_ && sha256sum in.bin part_* > sums" \
    "rm -rf '$work/out' && mkdir '$work/out' && ln -f '$work/input.bin' '$work/out/in.bin'"

# The join: the parts of the split above, the output checked against the original's digest.
rm -rf "$work/out" && mkdir "$work/out" && ln -f "$work/input.bin" "$work/out/in.bin"
"$cli" split --parts 10 --manifest "$work/out/in.bin" 2>/dev/null
(cd "$work/out/in" && split -n 10 ../in.bin part_)
rm "$work/out/in.bin"
ratio "join (verified) / cat + sha256sum" \
    "$cli join '$work/out/in/in.sha256'" \
    "cd '$work/out/in' && cat part_* > ../joined.bin && sha256sum ../joined.bin" \
    "rm -f '$work/out/in.bin' '$work/out/joined.bin'"

ln -f "$work/input.bin" "$work/in.bin"
rm -rf "$work/in"
peak=$(/usr/bin/time -f '%M' "$cli" split --parts 10 --manifest "$work/in.bin" 2>&1 >/dev/null |
    tail -1)
printf 'peak memory, split --manifest     %6d KiB\n' "$peak"
rm "$work/in.bin"
peak=$(/usr/bin/time -f '%M' "$cli" join "$work/in/in.sha256" 2>&1 >/dev/null | tail -1)
printf 'peak memory, join                 %6d KiB\n' "$peak"
