#!/usr/bin/env bash
# Cuts one text file into whole-line parts with partwell-cli and with split(1), in the same run on
# the same input, and prints the time ratios: --parts N --whole-lines against split -n l/N and
# --size --whole-lines against split -C (goal: at most 1.1).
#   bench/whole_lines.sh [SIZE_MIB] [ROUNDS]      (defaults: 1024 MiB, 3 rounds; medians compared)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-1024}
rounds=${2:-3}
input=$work/input.txt
label_width=40

# Lines of 1 to 200 characters, as a log or a table has them.
python3 - "$work/input.txt" $((mib << 20)) <<'PY'
import random, sys
random.seed(36)
lines = [("%d," % i + "x" * random.randint(0, 198) + "\n").encode() for i in range(50000)]
block = b"".join(lines)
with open(sys.argv[1], "wb") as out:
    left = int(sys.argv[2])
    while left > 0:
        out.write(block[:left])
        left -= len(block)
PY

compare_with_split "--parts 10 --whole-lines / -n l/10" \
    "ln -f '$work/input.txt' '$work/out/in.txt' && $cli split --parts 10 --whole-lines '$work/out/in.txt'" \
    "cd '$work/out' && split -n l/10 '$work/input.txt' part_"
compare_with_split "--size 100MB --whole-lines / -C 100M" \
    "ln -f '$work/input.txt' '$work/out/in.txt' && $cli split --size 100MB --whole-lines '$work/out/in.txt'" \
    "cd '$work/out' && split -C 100M '$work/input.txt' part_"
compare_with_split "--size 1MB --whole-lines / -C 1M" \
    "ln -f '$work/input.txt' '$work/out/in.txt' && $cli split --size 1MB --whole-lines '$work/out/in.txt'" \
    "cd '$work/out' && split -C 1M '$work/input.txt' part_"
