#!/usr/bin/env bash
# The text modes on GBK and UTF-8 Chinese prose against iconv(1) converting the same file, in the
# same run (medians of ROUNDS, the two taking turns), with partwell-cli's peak memory in every
# mode; then the peak memory of a character split of a large GBK file, which must stay bounded
# whatever the file's size.
#   bench/stream.sh [SIZE_MIB] [ROUNDS] [LARGE_MIB]   (defaults: 256 MiB, 3 rounds, 4096 MiB;
#                                                      LARGE_MIB 0 leaves the large file out)
# The large file is real data (no sparse holes); it is skipped, with a message, when the disk has
# not room for it and its parts. TMPDIR=/dev/shm runs it all on tmpfs, which leaves out the cost
# of creating files on the disk: thousands of parts cost more there than the conversion itself.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-256}
rounds=${2:-3}
large_mib=${3:-4096}

# Prose with a heading line every thousand lines, where the delimiter split cuts.
chinese_prose "$work/prose.txt" $((mib << 20))
awk 'NR % 1000 == 0 { print "【分节】" } { print }' "$work/prose.txt" > "$work/utf8.txt"
rm "$work/prose.txt"
iconv -f UTF-8 -t GBK "$work/utf8.txt" > "$work/gbk.txt"
# The merge's eight inputs, made just before the merge is measured and gone after it: with half a
# GiB more freshly written on the file system, creating files costs the kernel up to twice as much
# here, which would slow the modes that write many parts and not iconv.
merge_inputs() {
    mkdir "$work/merge_$1"
    split -n l/8 -d "$work/$1.txt" "$work/merge_$1/p_"
    for f in "$work/merge_$1"/p_*; do mv "$f" "$f.txt"; done
}
echo "inputs: $(( $(stat -c %s "$work/gbk.txt") >> 20 )) MiB GBK, $(( $(stat -c %s "$work/utf8.txt") >> 20 )) MiB UTF-8; load $(cut -d' ' -f1-3 /proc/loadavg)"

# "elapsed cpu peak_kib files" of one command (cpu: user + system, steadier than the elapsed
# time on a busy machine; files: how many it wrote); outputs of earlier runs gone and written
# out, inputs cached
measure() {
    discard "$work/out" && rm -f "$work"/p_00* && mkdir "$work/out"
    settle "$work/gbk.txt" "$work/utf8.txt"
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" bash -c "$1" > /dev/null 2>&1
    awk -v files="$(find "$work/out" -type f ! -name in.txt | wc -l)" \
        '{ printf "%s %.3f %s %s\n", $1, $2 + $3, $4, files }' "$work/time"
}

# compare LABEL OURS THEIRS: medians of both (elapsed and cpu), their ratios and our peak memory
compare() {
    local a=() b=() ca=() cb=() peak=0 files=0 e c m round
    for round in $(seq "$rounds"); do
        if [ $((round % 2)) -eq 0 ]; then read -r e c m < <(measure "$3") && b+=("$e") cb+=("$c"); fi
        read -r e c m files < <(measure "$2") && a+=("$e") ca+=("$c") && peak=$((m > peak ? m : peak))
        if [ $((round % 2)) -eq 1 ]; then read -r e c m < <(measure "$3") && b+=("$e") cb+=("$c"); fi
    done
    local ma mb mca mcb
    ma=$(printf '%s\n' "${a[@]}" | median)
    mb=$(printf '%s\n' "${b[@]}" | median)
    mca=$(printf '%s\n' "${ca[@]}" | median)
    mcb=$(printf '%s\n' "${cb[@]}" | median)
    printf '%-40s elapsed %5.2fs vs %5.2fs ratio %.2f | cpu %5.2fs vs %5.2fs ratio %.2f | peak %6d KiB' \
        "$1" "$ma" "$mb" "$(echo "$ma / $mb" | bc -l)" "$mca" "$mcb" "$(echo "$mca / $mcb" | bc -l)" "$peak"
    # What creating its files alone costs on this file system, against the same iconv time.
    [ "$files" -le 1 ] && { echo; return; }
    local floor
    floor=$(creation_seconds "$work/floor" "$files")
    printf ' | %d files, creating them alone %.2fs, ratio %.2f\n' "$files" "$floor" \
        "$(echo "$floor / $mb" | bc -l)"
}

for enc in gbk utf8; do
    from=$([ $enc = gbk ] && echo GBK || echo UTF-8)
    to=$([ $enc = gbk ] && echo UTF-8 || echo GB18030)
    conv="iconv -f $from -t $to '$work/$enc.txt' > '$work/out/converted'"
    in="ln -f '$work/$enc.txt' '$work/out/in.txt' && '$cli'"
    compare "$enc: detect --decode" "'$cli' detect --decode '$work/$enc.txt'" \
        "iconv -f $from -t $to '$work/$enc.txt'"
    compare "$enc: --chars 200000" "$in split --chars 200000 '$work/out/in.txt'" "$conv"
    compare "$enc: --lines 10000 --detect-encoding" \
        "$in split --lines 10000 --detect-encoding '$work/out/in.txt'" "$conv"
    compare "$enc: --delimiter 【分节】" "$in split --delimiter 【分节】 '$work/out/in.txt'" "$conv"
    compare "$enc: --chars 2000000 --rename-by-content" \
        "$in split --chars 2000000 --rename-by-content '$work/out/in.txt'" "$conv"
    merge_inputs $enc
    compare "$enc: merge --handle-encoding" "'$cli' merge --handle-encoding '$work/merge_$enc'" \
        "iconv -f $from -t $to '$work'/merge_$enc/p_*.txt > '$work/out/converted'"
    rm -rf "$work/merge_$enc"
done

# The large file: its bytes, then as many again in parts, must fit on the disk.
if [ "$large_mib" -eq 0 ]; then exit 0; fi
free_mib=$(( $(df --output=avail -k "$work" | tail -1) >> 10 ))
if [ "$free_mib" -lt $((large_mib * 2 + 1024)) ]; then
    echo "large GBK character split skipped: $free_mib MiB free, $((large_mib * 2 + 1024)) MiB needed"
    exit 0
fi
discard "$work/out" && rm "$work/utf8.txt"
cp "$work/gbk.txt" "$work/large.txt"
while [ "$(stat -c %s "$work/large.txt")" -lt $((large_mib << 20)) ]; do
    cat "$work/gbk.txt" >> "$work/large.txt"
done
truncate -s $((large_mib << 20)) "$work/large.txt"
sync
read -r e m < <(/usr/bin/time -f '%e %M' -o "$work/time" "$cli" split --chars 1000000 \
    "$work/large.txt" > /dev/null 2>&1; cat "$work/time")
[ -d "$work/large" ] || { echo "the large character split wrote no parts"; exit 1; }
rm -rf "$work/large"
sync
# Cut at a byte count, the file may end inside a character, which iconv reports and exits 1 for.
read -r ie im < <(/usr/bin/time -f '%e %M' -o "$work/time" bash -c \
    "iconv -f GBK -t UTF-8 '$work/large.txt' > '$work/converted' 2> /dev/null || true"; cat "$work/time")
printf '%-36s partwell %6.2fs   iconv %6.2fs   ratio %.2f   peak %6d KiB (%.4f x the file)\n' \
    "$large_mib MiB gbk: --chars 1000000" "$e" "$ie" "$(echo "$e / $ie" | bc -l)" "$m" \
    "$(echo "$m / ($large_mib * 1024)" | bc -l)"
