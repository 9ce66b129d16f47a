#!/usr/bin/env bash
# Detects and decodes a UTF-8 text with partwell-cli and converts it with iconv(1), in the same
# run on the same input, and prints the time ratio, partwell-cli's peak memory and the speed of
# the UTF-8 test, and the codec's own speed against the iconv path it replaced.
#   bench/detect.sh [SIZE_MIB] [ROUNDS]      (defaults: 256 MiB, 5 rounds; medians are compared)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
libs=("${PARTWELL_LIB_DIR:-build}"/libpartwell_{text,platform}.a)
# The codec's own library, in the builds that have one.
codec_lib="${PARTWELL_LIB_DIR:-build}"/libpartwell_codec.a
[[ -f $codec_lib ]] && libs+=("$codec_lib")
mib=${1:-256}
rounds=${2:-5}

chinese_prose "$work/input.txt" $((mib << 20))
cat "$work/input.txt" > /dev/null

# detect runs the whole cascade and decodes into the code page; --decode also writes UTF-8 out
ours=() decode=() theirs=()
for _ in $(seq "$rounds"); do
    ours+=("$(seconds "$cli" detect "$work/input.txt")")
    decode+=("$(seconds "$cli" detect --decode "$work/input.txt")")
    theirs+=("$(seconds iconv -f UTF-8 -t GB18030 "$work/input.txt")")
done
mo=$(printf '%s\n' "${ours[@]}" | median)
md=$(printf '%s\n' "${decode[@]}" | median)
mt=$(printf '%s\n' "${theirs[@]}" | median)
echo "input: $(( $(wc -c < "$work/input.txt") >> 20 )) MiB of UTF-8, result: $("$cli" detect "$work/input.txt" | cut -f1)"
printf 'detect (decode to GB18030)    %6.2fs   iconv %6.2fs   ratio %.2f\n' "$mo" "$mt" \
    "$(echo "$mo / $mt" | bc -l)"
printf 'detect --decode (and to UTF-8) %5.2fs   iconv %6.2fs   ratio %.2f\n' "$md" "$mt" \
    "$(echo "$md / $mt" | bc -l)"
peak=$(/usr/bin/time -f '%M' "$cli" detect "$work/input.txt" 2>&1 >/dev/null | tail -1)
printf 'peak memory of detect         %6d KiB (%.2f x the file)\n' "$peak" \
    "$(echo "$peak * 1024 / $(wc -c < "$work/input.txt")" | bc -l)"

if [[ -f ${libs[0]} && -f ${libs[1]} ]]; then
    g++ -std=c++20 -O2 -Isrc bench/utf8_speed.cpp "${libs[@]}" \
        $(pkg-config --libs libpcre2-8 libcrypto) -lz -o "$work/utf8_speed"
    "$work/utf8_speed"
    g++ -std=c++20 -O2 -Isrc bench/codec_speed.cpp "${libs[@]}" \
        $(pkg-config --libs libpcre2-8 libcrypto) -lz -o "$work/codec_speed"
    "$work/codec_speed"
else
    echo "codec and UTF-8 test speeds skipped: ${libs[*]} not built"
fi
