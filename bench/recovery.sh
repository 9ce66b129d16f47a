#!/usr/bin/env bash
# Recovery files: the speed of GF(2^16) multiply-and-add for each kernel; `split --recovery 1`
# against `split -n 10` followed by `par2 create` with the same slice size and count (all cores)
# and against a plain `split --manifest`; and `repair` of one deleted part against `par2 repair`
# on the same set (made by par2cmdline with the slice size and count Partwell picks: four slices
# a part, one part's worth of recovery); peak memory of each.
#   bench/recovery.sh [SIZE_MIB] [ROUNDS]      (defaults: 1024 MiB in 10 parts, 3 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
libs="${PARTWELL_LIB_DIR:-build}"
lib=$libs/libpartwell_platform.a
mib=${1:-1024}
rounds=${2:-3}

if [[ -f $lib ]]; then
    g++ -std=c++20 -O2 -Isrc bench/gf16_speed.cpp "$lib" "$libs/libpartwell_codec.a" -lgf_complete \
        -o "$work/gf16_speed"
    "$work/gf16_speed"
else
    echo "GF(2^16) speeds skipped: $lib not built"
fi
if ! command -v par2 > /dev/null; then
    echo "repair skipped: par2 (par2cmdline) is not installed"
    exit 0
fi

head -c $((mib << 20)) /dev/urandom > "$work/big.bin"
total=$(stat -c %s "$work/big.bin")
chunk=$(( (total + 9) / 10 ))
split_slice=$(( (chunk / 4 + 3) / 4 * 4 ))
mkdir "$work/gnu"
gnu_split_par2() {
    split -n 10 -d "$work/big.bin" "$work/gnu/big_" &&
        (cd "$work/gnu" && par2 create -q -q -s"$split_slice" -c4 big.par2 big_*)
}
rec=() gnu=() man=()
for _ in $(seq "$rounds"); do
    discard "$work/big" "$work/gnu"; mkdir -p "$work/gnu"
    settle "$work/big.bin"
    rec+=("$(seconds "$cli" split --parts 10 --recovery 1 --output-dir "$work" "$work/big.bin")")
    discard "$work/big"
    settle "$work/big.bin"
    man+=("$(seconds "$cli" split --parts 10 --manifest --output-dir "$work" "$work/big.bin")")
    settle "$work/big.bin"
    gnu+=("$(seconds gnu_split_par2)")
done
mr=$(printf '%s\n' "${rec[@]}" | median)
mg=$(printf '%s\n' "${gnu[@]}" | median)
mm=$(printf '%s\n' "${man[@]}" | median)
printf 'split --recovery 1 (%d MiB, 10 parts)  %6.2fs   split -n 10 + par2 create %6.2fs   ratio %.2f\n' \
    "$mib" "$mr" "$mg" "$(echo "$mr / $mg" | bc -l)"
printf 'split --recovery 1  %6.2fs   split --manifest %6.2fs   ratio %.2f\n' "$mr" "$mm" \
    "$(echo "$mr / $mm" | bc -l)"
discard "$work/big" "$work/gnu"; mkdir -p "$work/gnu"
pr=$(/usr/bin/time -f '%M' "$cli" split --parts 10 --recovery 1 --output-dir "$work" \
    "$work/big.bin" 2>&1 >/dev/null | tail -1)
discard "$work/big"
pm=$(/usr/bin/time -f '%M' "$cli" split --parts 10 --manifest --output-dir "$work" \
    "$work/big.bin" 2>&1 >/dev/null | tail -1)
split -n 10 -d "$work/big.bin" "$work/gnu/big_"
pg=$(cd "$work/gnu" && /usr/bin/time -f '%M' par2 create -q -q -s"$split_slice" -c4 big.par2 \
    big_* 2>&1 >/dev/null | tail -1)
printf 'peak memory of split --recovery 1  %d KiB   split --manifest %d KiB   par2 create %d KiB\n' \
    "$pr" "$pm" "$pg"
discard "$work/big" "$work/gnu"

"$cli" split --parts 10 --output-dir "$work" "$work/big.bin" > /dev/null 2>&1
rm "$work/big.bin"
set_dir=$work/big
mapfile -t parts < <(cd "$set_dir" && ls)
part_size=$(stat -c %s "$set_dir/${parts[0]}")
slice=$(( (part_size / 4 + 3) / 4 * 4 ))
(cd "$set_dir" && par2 create -q -q -s"$slice" -c4 big.par2 "${parts[@]}")
victim=$set_dir/${parts[4]}
cp "$victim" "$work/.discarded/victim"

ours=() theirs=()
for _ in $(seq "$rounds"); do
    rm -f "$victim"
    settle "$set_dir"/*
    ours+=("$(seconds "$cli" repair "$set_dir/big.par2")")
    cmp -s "$victim" "$work/.discarded/victim" || { echo "repair gave a different part"; exit 1; }
    rm -f "$victim"
    settle "$set_dir"/*
    theirs+=("$(seconds par2 repair -q -q "$set_dir/big.par2")")
    cmp -s "$victim" "$work/.discarded/victim" || { echo "par2 repair gave a different part"; exit 1; }
done
mo=$(printf '%s\n' "${ours[@]}" | median)
mt=$(printf '%s\n' "${theirs[@]}" | median)
printf 'repair of 1 part of 10 (%d MiB)  %6.2fs   par2 repair %6.2fs   ratio %.2f\n' "$mib" \
    "$mo" "$mt" "$(echo "$mo / $mt" | bc -l)"
rm -f "$victim"
po=$(/usr/bin/time -f '%M' "$cli" repair "$set_dir/big.par2" 2>&1 >/dev/null | tail -1)
rm -f "$victim"
pt=$(/usr/bin/time -f '%M' par2 repair -q -q "$set_dir/big.par2" 2>&1 >/dev/null | tail -1)
printf 'peak memory of repair  %d KiB   par2 repair %d KiB\n' "$po" "$pt"
remove_scratch
