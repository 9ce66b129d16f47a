# Sourced by the benchmarks (from the project's root): the program measured, a scratch folder
# that goes when the benchmark ends, timing of one run and the median of several.

cli=${PARTWELL_CLI:-build/bin/partwell-cli}
# Under run.sh the benchmarks share one scratch folder, deleted only when all have run: thousands
# of files deleted as one ends would slow the next one's file creation (see discard). Each empties
# its own files as it ends instead.
if [ -n "${PARTWELL_BENCH_SCRATCH:-}" ]; then
    work=$(mktemp -d "$PARTWELL_BENCH_SCRATCH/XXXXXX")
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/partwell-bench-XXXXXX")
fi
remove_scratch() {
    if [ -n "${PARTWELL_BENCH_SCRATCH:-}" ]; then
        find "$work" -type f -exec truncate -s 0 {} +
    else
        rm -rf "$work"
    fi
}
trap remove_scratch EXIT
mkdir "$work/.discarded"

# seconds one command takes, its output discarded
seconds() {
    local start end
    sync
    start=$(date +%s.%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}
# settle FILE...: the state each timed run starts from: earlier runs' outputs written out, so no
# run pays for another's writeback, and the inputs in the page cache, so no run reads the disk
# where the other read memory.
settle() {
    sync
    cat "$@" > /dev/null
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# chinese_prose FILE BYTES: whole lines of Chinese prose with ASCII words and digits in UTF-8,
# many short phrases a line, about BYTES long; no character is cut at the end.
chinese_prose() {
    local line='第一章 开始。他说：“你好，世界！” The year was 2024; 天气很好，我们去了公园 (park) 散步。'
    local bytes=$(( $(printf '%s\n' "$line" | wc -c) ))
    awk -v l="$line" -v n=$(( $2 / bytes )) 'BEGIN { for (i = 0; i < n; i++) print l }' > "$1"
}

# discard PATH...: earlier runs' outputs out of the way, their files emptied (which frees their
# space) but deleted only when the benchmark ends. Without a journal, ext4 passes over every inode
# freed in the last minute whenever it creates a file, so a run that creates thousands of parts
# right after the last run's thousands were deleted took up to three times as long, and a program
# that writes one file hardly paid at all. Inputs linked into PATH are left whole.
discard() {
    local path
    for path in "$@"; do
        [ -e "$path" ] || continue
        find "$path" -type f -links 1 -exec truncate -s 0 {} +
        mv "$path" "$(mktemp -d "$work/.discarded/XXXXXX")/"
    done
}

# creation_seconds DIR N: seconds to create N empty files in a new folder DIR (on the file system
# a benchmark writes to), which goes again. A mode that writes thousands of parts cannot be faster
# than this, whatever its own work costs.
creation_seconds() {
    mkdir "$1"
    sync
    local start end
    start=$(date +%s.%N)
    (cd "$1" && seq "$2" | xargs touch)
    end=$(date +%s.%N)
    discard "$1"
    echo "$end - $start" | bc
}

# timed_run COMMAND...: seconds of one run, with $work/out emptied and $input cached first, outside
# the timing.
timed_run() {
    discard "$work/out" && mkdir "$work/out"
    settle "$input"
    seconds "$@"
}

# compare_with_split LABEL OURS THEIRS: the medians of $rounds timed runs of two shell commands,
# partwell-cli's and split(1)'s, which take turns going first, and their ratio; the label is
# padded to $label_width.
compare_with_split() {
    local label=$1 ours=$2 theirs=$3
    local a=() b=()
    for round in $(seq "$rounds"); do
        if [ $((round % 2)) -eq 1 ]; then
            a+=("$(timed_run bash -c "$ours")")
            b+=("$(timed_run bash -c "$theirs")")
        else
            b+=("$(timed_run bash -c "$theirs")")
            a+=("$(timed_run bash -c "$ours")")
        fi
    done
    local ma mb
    ma=$(printf '%s\n' "${a[@]}" | median)
    mb=$(printf '%s\n' "${b[@]}" | median)
    printf "%-${label_width:-28}s partwell %6.2fs   split %6.2fs   ratio %.2f\n" "$label" "$ma" \
        "$mb" "$(echo "$ma / $mb" | bc -l)"
}

# sectioned_prose DIR MIB: DIR/sections_utf8.txt, about MIB MiB of Chinese prose in UTF-8, and
# DIR/sections_gbk.txt, the same text in GBK; a line 【節】 about every 30,000 characters, LF,
# CR LF and CR line ends mixed, and 1.5 % of the characters outside the common 3500: traditional
# and rare characters and full-width forms in both, and in the UTF-8 file half of them emoji and
# supplementary-plane CJK (four-byte GB18030 codes, which GBK cannot hold) instead. A line break
# before and after the delimiter line is always LF or CR LF, so csplit cuts at the same lines.
# One block of about 2 MiB, written twice (with and without four-byte characters), is repeated.
sectioned_prose() {
    local program='BEGIN {
        srand(39)
        nc = split("我们 他们 时候 没有 什么 知道 一个 自己 这样 已经 看见 出来 起来 事情 地方 " \
            "现在 因为 所以 但是 如果 还是 可以 大家 今天 明天 晚上 早上 先生 姑娘 孩子 " \
            "眼睛 心里 声音 回头 走进 门口 窗外 天空 山上 河边 城里 村子 朋友 母亲 父亲 " \
            "说话 笑着 点头 问道 回答 忽然 慢慢 轻轻 一直 终于 也许 似乎 仿佛 这里 那里 " \
            "东西 时间 生活 世界 问题 消息 故事 读书 写字 吃饭 睡觉 工作 学习 开始 结束 " \
            "风 雨 云 雪 花 草 树 水 火 光 夜 春 秋 路 船 马 灯 茶 酒 书", c, " ")
        # in GBK, outside the common 3500: traditional, rare, full-width
        nr = split("節 龍 體 書 畫 彧 璟 琨 犇 鑫 淼 焱 堃 昇 燚 瑄 Ａ Ｂ Ｃ １ ２ ３ ～ ＃ ＠ （ ）", r, " ")
        # four bytes in GB18030: emoji and supplementary-plane CJK
        nf = split("😀 🎉 👍 🌸 🐉 🍵 𠀀 𠮷 𡈽 𤭢 𪚥 𫓧", f, " ")
        np = split("， 。 、 ； ： ！ ？ “ ” ……", p, " ")
        ends[0] = "\n"; ends[1] = "\r\n"; ends[2] = "\r"
        chars = 0; since = 0
        while (chars < 700000) {
            n = 10 + int(rand() * 90); line = ""
            for (k = 0; k < n; k++) {
                x = rand()
                if (x < 0.025)
                    w = (four && rand() < 0.5) ? f[1 + int(rand() * nf)] : r[1 + int(rand() * nr)]
                else if (x < 0.14) w = p[1 + int(rand() * np)]
                else if (x < 0.145) { w = int(rand() * 3000); k += length(w) - 1 }
                else { w = c[1 + int(rand() * nc)]; k += (length(w) > 3) }
                line = line w
            }
            chars += n; since += n
            if (since >= 30000) {
                printf "\n【節】\n"; since = 0
                e = (rand() < 0.5) ? 1 : 0
            } else {
                x = rand(); e = x < 0.5 ? 0 : (x < 0.85 ? 1 : 2)
            }
            printf "%s%s", line, ends[e]
        }
        printf "\n"
    }'
    LC_ALL=C awk -v four=1 "$program" > "$1/block_utf8.txt"
    LC_ALL=C awk -v four=0 "$program" | iconv -f UTF-8 -t GBK > "$1/block_gbk.txt"
    # the same number of blocks in both, so both hold the same text
    local blocks enc whole
    blocks=$(( ($2 << 20) / $(stat -c %s "$1/block_utf8.txt") ))
    [ "$blocks" -ge 1 ] || blocks=1
    for enc in utf8 gbk; do
        whole=$(( blocks * $(stat -c %s "$1/block_$enc.txt") ))
        cp "$1/block_$enc.txt" "$1/sections_$enc.txt"
        while [ "$(stat -c %s "$1/sections_$enc.txt")" -lt "$whole" ]; do
            cat "$1/sections_$enc.txt" "$1/sections_$enc.txt" > "$1/doubled.txt"
            mv "$1/doubled.txt" "$1/sections_$enc.txt"
        done
        truncate -s "$whole" "$1/sections_$enc.txt"
        rm "$1/block_$enc.txt"
    done
}
