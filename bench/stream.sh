#!/usr/bin/env bash
# The text modes on two inputs, each in GBK and UTF-8, against iconv(1) converting the same file
# and against the physical floor, in the same run (medians of ROUNDS, the three taking turns):
# cp(1) of the file for the modes that write few files, csplit(1) cutting the same bytes at the
# same places into as many files for the modes that write one a delimiter or heading. Then the
# peak memory of a character split of a large GBK file, which must stay bounded whatever its size.
#   bench/stream.sh [SIZE_MIB] [ROUNDS] [LARGE_MIB]   (defaults: 256 MiB, 3 rounds, 4096 MiB;
#                                                      LARGE_MIB 0 leaves the large file out)
# The inputs: "prose", short lines of Chinese with ASCII words and a heading line 【分节】 every
# thousand lines; "sections", Chinese prose with 1.5 % rare, full-width and (UTF-8) four-byte
# characters, mixed line ends and a line 【節】 every 30,000 characters (see sectioned_prose).
# The large file is real data (no sparse holes); it is skipped, with a message, when the disk has
# not room for it and its parts. TMPDIR=/dev/shm runs it all on tmpfs, which leaves out the cost
# of creating files on the disk: thousands of parts cost more there than the conversion itself.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-256}
rounds=${2:-3}
large_mib=${3:-4096}

chinese_prose "$work/prose.txt" $((mib << 20))
awk 'NR % 1000 == 0 { print "【分节】" } { print }' "$work/prose.txt" > "$work/prose_utf8.txt"
rm "$work/prose.txt"
iconv -f UTF-8 -t GBK "$work/prose_utf8.txt" > "$work/prose_gbk.txt"
sectioned_prose "$work" "$mib"
# The merge's eight inputs, made just before the merge is measured and gone after it: with half a
# GiB more freshly written on the file system, creating files costs the kernel up to twice as much
# here, which would slow the modes that write many parts and not iconv.
merge_inputs() {
    mkdir "$work/merge"
    split -n l/8 -d "$1" "$work/merge/p_"
    for f in "$work/merge"/p_*; do mv "$f" "$f.txt"; done
}
size() { echo "$(( $(stat -c %s "$work/$1.txt") >> 20 )) MiB"; }
echo "inputs: prose $(size prose_gbk) GBK, $(size prose_utf8) UTF-8; sections $(size sections_gbk) GBK, $(size sections_utf8) UTF-8; load $(cut -d' ' -f1-3 /proc/loadavg)"

# "elapsed cpu peak_kib" of one command (cpu: user + system, steadier than the elapsed time on a
# busy machine); outputs of earlier runs gone and written out, the input cached
measure() {
    discard "$work/out" && mkdir "$work/out"
    settle "$input"
    # the elapsed time to the microsecond: cp of a file in the page cache takes a tenth of a second
    local start end
    start=$(date +%s.%N)
    /usr/bin/time -f '%U %S %M' -o "$work/time" bash -c "$1" > /dev/null 2>&1
    end=$(date +%s.%N)
    awk -v e="$(echo "$end - $start" | bc)" '{ printf "%.4f %.3f %s\n", e, $1 + $2, $3 }' "$work/time"
}

# compare LABEL OURS ICONV FLOOR FLOOR_NAME TARGET: medians of the three (elapsed and cpu), our
# ratios to both and our peak memory; the floor's target ratio is printed beside it. The order
# of the three turns round from round to round.
compare() {
    local commands=("$2" "$3" "$4") e=() c=() peak=0 round k i el cp m
    for round in $(seq "$rounds"); do
        for k in 0 1 2; do
            i=$(( (k + round) % 3 ))
            read -r el cp m < <(measure "${commands[$i]}")
            e[$i]+="$el " c[$i]+="$cp "
            [ "$i" -eq 0 ] && peak=$((m > peak ? m : peak))
        done
    done
    local me=() mc=()
    for i in 0 1 2; do
        me[$i]=$(printf '%s\n' ${e[$i]} | median)
        mc[$i]=$(printf '%s\n' ${c[$i]} | median)
    done
    # cp's CPU time may round to 0 s on a small input
    ratio() { if [ "$(echo "$2 > 0" | bc)" = 1 ]; then echo "$1 / $2" | bc -l; else echo nan; fi; }
    printf '%-44s %6.3fs | iconv %6.3fs ratio %.2f (cpu %.2f) | %-6s %6.3fs ratio %.2f (cpu %.2f; target %s) | peak %6d KiB\n' \
        "$1" "${me[0]}" "${me[1]}" "$(ratio "${me[0]}" "${me[1]}")" "$(ratio "${mc[0]}" "${mc[1]}")" \
        "$5" "${me[2]}" "$(ratio "${me[0]}" "${me[2]}")" "$(ratio "${mc[0]}" "${mc[2]}")" "$6" "$peak"
}

for name in prose sections; do
    delimiter=$([ $name = prose ] && echo 【分节】 || echo 【節】)
    for enc in gbk utf8; do
        input="$work/${name}_$enc.txt"
        from=$([ $enc = gbk ] && echo GBK || echo UTF-8)
        to=$([ $enc = gbk ] && echo UTF-8 || echo GB18030)
        # csplit reads bytes: the delimiter in the file's own encoding
        cut_at=$(printf '%s' "$delimiter" | iconv -f UTF-8 -t "$from")
        conv="iconv -f $from -t $to '$input' > '$work/out/converted'"
        copy="cp '$input' '$work/out/copy'"
        csplit_at="cd '$work/out' && LC_ALL=C csplit -s -z -n 6 '$input'"
        in="ln -f '$input' '$work/out/in.txt' && '$cli'"
        label="$name $enc:"
        compare "$label detect --decode" "'$cli' detect --decode '$input'" \
            "iconv -f $from -t $to '$input'" "$copy" cp 4
        compare "$label --chars 200000" "$in split --chars 200000 '$work/out/in.txt'" "$conv" \
            "$copy" cp 2.5
        compare "$label --lines 10000 --detect-encoding" \
            "$in split --lines 10000 --detect-encoding '$work/out/in.txt'" "$conv" "$copy" cp 2.5
        compare "$label --delimiter $delimiter" \
            "$in split --delimiter $delimiter '$work/out/in.txt'" "$conv" \
            "$csplit_at '/$cut_at/' '{*}'" csplit 1.5
        compare "$label --chapters --heading-regex ^$delimiter" \
            "$in split --chapters 1 --heading-regex '^$delimiter' '$work/out/in.txt'" "$conv" \
            "$csplit_at '/^$cut_at/' '{*}'" csplit 1.5
        compare "$label --chars 2000000 --rename-by-content" \
            "$in split --chars 2000000 --rename-by-content '$work/out/in.txt'" "$conv" "$copy" cp -
        merge_inputs "$input"
        compare "$label merge --handle-encoding" "'$cli' merge --handle-encoding '$work/merge'" \
            "iconv -f $from -t $to '$work'/merge/p_*.txt > '$work/out/converted'" \
            "cat '$work'/merge/p_*.txt > '$work/out/copy'" cat -
        rm -rf "$work/merge"
    done
done

# The large file: its bytes, then as many again in parts, must fit on the disk.
if [ "$large_mib" -eq 0 ]; then exit 0; fi
free_mib=$(( $(df --output=avail -k "$work" | tail -1) >> 10 ))
if [ "$free_mib" -lt $((large_mib * 2 + 1024)) ]; then
    echo "large GBK character split skipped: $free_mib MiB free, $((large_mib * 2 + 1024)) MiB needed"
    exit 0
fi
# Made of the sections text: mixed line ends and rare characters, as the file a user has.
discard "$work/out" && rm "$work"/prose_*.txt "$work/sections_utf8.txt"
mv "$work/sections_gbk.txt" "$work/large.txt"
while [ "$(stat -c %s "$work/large.txt")" -lt $((large_mib << 20)) ]; do
    cat "$work/large.txt" "$work/large.txt" > "$work/doubled.txt"
    mv "$work/doubled.txt" "$work/large.txt"
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
