#!/usr/bin/env bash
# Splits one file by part count with --align and joins the parts back, on loop-mounted XFS and
# btrfs images, against a plain copy of the file on the same file system. Where the kernel's copy
# shares blocks, the split and the join take milliseconds and no extra space.
#   bench/align.sh [SIZE_MIB] [PARTS]      (defaults: 1024 MiB, 10 parts)
# Needs root (or sudo without a password) for the loop devices; installs xfsprogs and btrfs-progs
# when they are missing. Skipped, with a message, where any of that is not available.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.bash
mib=${1:-1024}
parts=${2:-10}
cli=$(realpath "$cli")

skip() {
    echo "align: skipped: $*"
    exit 0
}
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null || skip "loop devices need root or sudo without a password"
    sudo="sudo -n"
fi
[ -e /dev/loop-control ] || skip "this system has no loop devices"
missing=()
command -v mkfs.xfs >/dev/null || missing+=(xfsprogs)
command -v mkfs.btrfs >/dev/null || missing+=(btrfs-progs)
if [ ${#missing[@]} -gt 0 ]; then
    echo "align: installing ${missing[*]}"
    { $sudo apt-get update -q && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q \
        --no-install-recommends "${missing[@]}"; } >/dev/null 2>&1 || skip "cannot install ${missing[*]}"
fi

mounted=()
cleanup() {
    for m in "${mounted[@]}"; do
        $sudo umount "$m" 2>/dev/null || true
    done
    remove_scratch
}
trap cleanup EXIT

# seconds one command takes until its data is on the image
synced() {
    local start end
    sync
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    sync
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
used_mib() { echo $(( $(df --output=used -k "$1" | tail -1) / 1024 )); }

for fs in xfs btrfs; do
    image=$work/$fs.img mnt=$work/$fs
    mkdir -p "$mnt"
    truncate -s $((mib * 4 + 512))M "$image"
    if [ $fs = xfs ]; then mkfs.xfs -q "$image"; else mkfs.btrfs -q "$image" >/dev/null; fi
    $sudo mount -o loop "$image" "$mnt" 2>/dev/null || skip "cannot mount a loop device here"
    mounted+=("$mnt")
    $sudo chown "$(id -u):$(id -g)" "$mnt"

    head -c $((mib << 20)) /dev/urandom >"$mnt/input.bin"
    sync
    before=$(used_mib "$mnt")
    copy=$(synced cp --reflink=never "$mnt/input.bin" "$mnt/copy.bin")
    rm "$mnt/copy.bin"
    sync
    # The same count without --align: the parts start inside blocks and are copied.
    mkdir "$mnt/unaligned"
    plain=$(synced "$cli" split --quiet --parts "$parts" --output-dir "$mnt/unaligned" "$mnt/input.bin")
    plain_used=$(( $(used_mib "$mnt") - before ))
    rm -rf "$mnt/unaligned"
    sync
    split=$(synced "$cli" split --quiet --parts "$parts" --align "$mnt/input.bin")
    split_used=$(( $(used_mib "$mnt") - before ))
    mv "$mnt/input.bin" "$mnt/original.bin"
    join=$(synced "$cli" join "$mnt/input/input_1.bin")
    cmp -s "$mnt/input.bin" "$mnt/original.bin" || { echo "align: $fs: the join differs"; exit 1; }
    join_used=$(( $(used_mib "$mnt") - before ))
    # By a size in whole blocks, and merged back: aligned without being asked.
    mkdir -p "$mnt/sized"
    sized=$(synced "$cli" split --quiet --size 64MB --output-dir "$mnt/sized" "$mnt/input.bin")
    merged=$(synced "$cli" merge --quiet --output-dir "$mnt" "$mnt/sized/input")
    cmp -s "$mnt/input"*个文件.bin "$mnt/input.bin" || { echo "align: $fs: the merge differs"; exit 1; }
    sized_used=$(( $(used_mib "$mnt") - before ))
    rm -rf "$mnt/sized" "$mnt/input"*个文件.bin
    ratio() { echo "$1 / $copy" | bc -l; }
    printf '%-6s %d MiB, %d parts: copy %.3fs; split %.3fs (%.2f of the copy, %d MiB more);' \
        "$fs" "$mib" "$parts" "$copy" "$plain" "$(ratio "$plain")" "$plain_used"
    printf ' split --align %.3fs (%.3f, %d MiB more); join %.3fs (%.3f, %d MiB more)\n' \
        "$split" "$(ratio "$split")" "$split_used" "$join" "$(ratio "$join")" "$join_used"
    printf '%-6s split --size 64MB %.3fs (%.3f) and merge %.3fs (%.3f), %d MiB more\n' "$fs" \
        "$sized" "$(ratio "$sized")" "$merged" "$(ratio "$merged")" "$sized_used"
    $sudo umount "$mnt"
    mounted=("${mounted[@]:0:${#mounted[@]}-1}")
    rm -f "$image"
done
