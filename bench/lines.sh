#!/usr/bin/env bash
# Splits text by lines and by characters with partwell-cli, and compares in the same run on the
# same input: a line split without detection against split -l, and a line split with detection
# and a character split of UTF-8 text against iconv to GB18030. Prints the ratios of the median
# elapsed times and of the median CPU times (user + system; steadier on a busy machine), and
# partwell-cli's peak memory.
#   bench/lines.sh [SIZE_MIB] [ROUNDS]   (defaults: 1024 MiB of ASCII lines, a quarter of that
#                                         of UTF-8 text, 3 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-1024}
rounds=${2:-3}

# ~100-byte ASCII lines, and Chinese prose with ASCII words in UTF-8.
awk -v n=$(( (mib << 20) / 100 )) 'BEGIN {
    for (i = 0; i < n; i++)
        printf "%09d The quick brown fox jumps over the lazy dog; 0123456789 abcdefghijklmnopqrstuvwxyz ABCDEF\n", i }' \
    > "$work/ascii.txt"
chinese_prose "$work/utf8.txt" $((mib << 18))
cat "$work/ascii.txt" "$work/utf8.txt" > /dev/null

# "elapsed cpu peak_kib" of one run; the output folder is emptied first, outside the timing.
measure() {
    discard "$work/out" && mkdir "$work/out" && settle "$work/ascii.txt" "$work/utf8.txt"
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" bash -c "$1" > /dev/null 2>&1
    awk '{ printf "%s %.3f %s\n", $1, $2 + $3, $4 }' "$work/time"
}

# label, our command, their command, input (for the memory ratio)
compare() {
    local label=$1 ours=$2 theirs=$3 input=$4
    local oe=() oc=() om=() te=() tc=()
    # The two take turns going first.
    for round in $(seq "$rounds"); do
        if [ $((round % 2)) -eq 0 ]; then
            read -r e c m < <(measure "$theirs") && te+=("$e") tc+=("$c")
        fi
        read -r e c m < <(measure "$ours") && oe+=("$e") oc+=("$c") om+=("$m")
        if [ $((round % 2)) -eq 1 ]; then
            read -r e c m < <(measure "$theirs") && te+=("$e") tc+=("$c")
        fi
    done
    local a b ca cb mem
    a=$(printf '%s\n' "${oe[@]}" | median)
    b=$(printf '%s\n' "${te[@]}" | median)
    ca=$(printf '%s\n' "${oc[@]}" | median)
    cb=$(printf '%s\n' "${tc[@]}" | median)
    mem=$(printf '%s\n' "${om[@]}" | sort -n | tail -1)
    printf '%-34s elapsed %6.2fs vs %6.2fs ratio %.2f | cpu %6.2fs vs %6.2fs ratio %.2f | peak %d KiB (%.2f x input)\n' \
        "$label" "$a" "$b" "$(echo "$a / $b" | bc -l)" "$ca" "$cb" "$(echo "$ca / $cb" | bc -l)" \
        "$mem" "$(echo "$mem * 1024 / $(wc -c < "$input")" | bc -l)"
}

echo "inputs: $(( $(wc -c < "$work/ascii.txt") >> 20 )) MiB of ASCII lines, $(( $(wc -c < "$work/utf8.txt") >> 20 )) MiB of UTF-8 text"
compare "--lines 10000 / split -l 10000" \
    "ln -f '$work/ascii.txt' '$work/out/in.txt' && '$cli' split --lines 10000 '$work/out/in.txt'" \
    "cd '$work/out' && split -l 10000 '$work/ascii.txt' part_" "$work/ascii.txt"
compare "--lines --detect-encoding / iconv" \
    "ln -f '$work/utf8.txt' '$work/out/in.txt' && '$cli' split --lines 10000 --detect-encoding '$work/out/in.txt'" \
    "iconv -f UTF-8 -t GB18030 '$work/utf8.txt' > '$work/out/in.gb'" "$work/utf8.txt"
compare "--chars 200000 / iconv" \
    "ln -f '$work/utf8.txt' '$work/out/in.txt' && '$cli' split --chars 200000 '$work/out/in.txt'" \
    "iconv -f UTF-8 -t GB18030 '$work/utf8.txt' > '$work/out/in.gb'" "$work/utf8.txt"
