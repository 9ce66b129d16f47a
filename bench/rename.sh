#!/usr/bin/env bash
# Names large text parts after a phrase of their text (split --rename-by-content) with partwell-cli
# and converts the same file with iconv(1), in the same run, and prints the time ratio and both
# peak memories. Naming reads and decodes the part once, so iconv over it is the yardstick. Two
# inputs: Chinese prose in one part, and one line without a separator split in two.
#   bench/rename.sh [SIZE_MIB] [ROUNDS]      (defaults: 256 MiB, 3 rounds; medians are compared)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-256}
rounds=${2:-3}

chinese_prose "$work/input.txt" $((mib << 20))
cat "$work/input.txt" > /dev/null

# One line of ASCII without a separator: a single phrase as large as the part.
head -c $((mib << 20)) /dev/zero | tr '\0' 'a' > "$work/oneline.txt"

# "seconds peak-KiB kernel-seconds" of one run
measured() {
    /usr/bin/time -f '%e %M %S' -o "$work/time" "$@" > /dev/null 2>&1 || true
    cat "$work/time"
}

# compare NAME PARTS: partwell names PARTS parts of NAME.txt after their text; iconv converts it.
# Both write their output to the same disk (iconv to a file, not to /dev/null), each run starts
# with the other's output gone and written out and the input cached. The kernel's share of
# partwell's time is printed too: faulting in the fresh memory that a part held whole takes is,
# on a virtual machine, most of what varies from run to run.
compare() {
    local a=() b=() ka=() pa=0 pb=0 t m k
    for _ in $(seq "$rounds"); do
        discard "$work/$1" "$work/theirs"
        settle "$work/$1.txt"
        read -r t m k < <(measured "$cli" split --parts "$2" --rename-by-content "$work/$1.txt")
        a+=("$t"); ka+=("$k"); pa=$m
        discard "$work/$1" "$work/theirs"
        settle "$work/$1.txt"
        read -r t m k < <(measured bash -c "iconv -f UTF-8 -t GB18030 '$work/$1.txt' > '$work/theirs'")
        b+=("$t"); pb=$m
    done
    discard "$work/$1" "$work/theirs"
    local ma mb mk
    ma=$(printf '%s\n' "${a[@]}" | median)
    mk=$(printf '%s\n' "${ka[@]}" | median)
    mb=$(printf '%s\n' "${b[@]}" | median)
    printf 'rename-by-content %-8s %d MiB in %d   partwell %6.2fs (kernel %.2fs) %5d MiB   iconv %6.2fs %5d MiB   ratio %.2f\n' \
        "$1" "$mib" "$2" "$ma" "$mk" $((pa >> 10)) "$mb" $((pb >> 10)) "$(echo "$ma / $mb" | bc -l)"
}

compare input 1
compare oneline 2
