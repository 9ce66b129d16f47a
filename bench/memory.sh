#!/usr/bin/env bash
# The peak memory of the text modes on a large file whose parts are far larger than the 64 MiB a
# streamed part may take, each measured with /usr/bin/time: a part is written while its text is
# read, so the peak stays flat whatever the part's size, except where a part is named after its
# text. With PARTWELL_BASELINE_CLI set to an earlier build, that build runs every case too, and
# the parts of both are compared byte for byte.
#   bench/memory.sh [SIZE_MIB]   (default 1024 MiB of UTF-8 text; GBK, UTF-16 and one-line
#                                 copies are made beside it: about 5.5 times that on the disk)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-1024}
baseline=${PARTWELL_BASELINE_CLI:-}

# Prose with a chapter heading every `per` lines (a chapter is about mib/100 MiB) and a delimiter
# line every ten chapters; the same text in GBK and UTF-16, and as one line without a break.
chinese_prose "$work/prose.txt" $((mib << 20))
per=$((mib * 100))
awk -v per=$per 'NR % per == 1 { n++; if (n % 10 == 0) print "【分节】"; printf "第%d章 风起\n", n }
                 { print }' "$work/prose.txt" > "$work/utf8.txt"
rm "$work/prose.txt"
iconv -f UTF-8 -t GBK "$work/utf8.txt" > "$work/gbk.txt"
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$work/utf8.txt"; } > "$work/utf16.txt"
tr -d '\n' < "$work/utf8.txt" > "$work/oneline.txt"
{ echo "第1章 风起"; cat "$work/oneline.txt"; } > "$work/headed.txt"
# A part of about a third of the file, in characters (GBK prose: about two bytes each).
chars=$((mib * 200000000 / 1024))
echo "inputs: $mib MiB UTF-8 ($(( $(stat -c %s "$work/gbk.txt") >> 20 )) MiB GBK, $(( $(stat -c %s "$work/utf16.txt") >> 20 )) MiB UTF-16), a chapter every $per lines; load $(cut -d' ' -f1-3 /proc/loadavg)"

# "elapsed peak_kib largest_part_bytes digest" of one split of FILE by ARGS with CLI
run() {
    local cli=$1 file=$2 e m
    shift 2
    discard "$work/out" && mkdir "$work/out" && ln -f "$work/$file" "$work/out/in.txt"
    settle "$work/$file"
    /usr/bin/time -f '%e %M' -o "$work/time" "$cli" split "$@" "$work/out/in.txt" > /dev/null 2>&1
    read -r e m < "$work/time"
    # Parts named after their text get names drawn at random: only their bytes are compared.
    [ -d "$work/out/in" ] || { echo "$e $m 0 none"; return; }
    echo "$e $m $(find "$work/out/in" -type f -printf '%s\n' | sort -n | tail -1) \
$(find "$work/out/in" -type f -exec sha256sum {} + | cut -d' ' -f1 | sort | sha256sum | cut -c1-12)"
}

# The case goes last: printf pads by bytes, and the delimiter is Chinese.
printf '%9s %10s %8s' "input" "largest" "peak"
[ -n "$baseline" ] && printf ' %10s %5s' "before" "same"
echo "  case"
case_() {
    local label=$1 file=$2 e m big digest be bm bbig bdigest
    shift 2
    read -r e m big digest < <(run "$cli" "$file" "$@")
    printf '%5d MiB %6d MiB %4d MiB' "$(( $(stat -c %s "$work/$file") >> 20 ))" $((big >> 20)) \
        $((m >> 10))
    if [ -n "$baseline" ]; then
        read -r be bm bbig bdigest < <(run "$baseline" "$file" "$@")
        printf ' %6d MiB %5s' $((bm >> 10)) "$([ "$digest" = "$bdigest" ] && echo yes || echo NO)"
    fi
    echo "  $label"
}

case_ "gbk: --chars $chars" gbk.txt --chars $chars
case_ "utf8: --chars $chars" utf8.txt --chars $chars
case_ "utf8 one line: --lines 10" oneline.txt --lines 10
case_ "utf8 one line: --lines 10 --detect-encoding" oneline.txt --lines 10 --detect-encoding
case_ "utf16: --lines $((per * 10)) --detect-encoding" utf16.txt --lines $((per * 10)) \
    --detect-encoding
case_ "gbk: --chapters 32" gbk.txt --chapters 32
case_ "utf8: --chapters 32" utf8.txt --chapters 32
case_ "utf8 heading + one line: --chapters 32" headed.txt --chapters 32
case_ "gbk: --delimiter 【分节】 --manifest" gbk.txt --delimiter 【分节】 --manifest
case_ "utf16: --delimiter 【分节】" utf16.txt --delimiter 【分节】
case_ "utf8 one line: --delimiter 【分节】" oneline.txt --delimiter 【分节】
# The exception: a part named after its text is held whole.
case_ "gbk: --chars $((chars / 4)) --rename-by-content" gbk.txt --chars $((chars / 4)) \
    --rename-by-content
discard "$work/out"
rm -f "$work"/*.txt
