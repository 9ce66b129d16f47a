#!/usr/bin/env bash
# What an installation puts on a machine: the installed tree, the menu entry and its validators,
# the manual and the shell completion. Usage: desktop_test.sh CASE BUILD_DIR VERSION APP_ID
set -uo pipefail

case_name=$1 build=$2 version=$3 app_id=$4
# The program's help is read in English below, whatever the locale of the test.
export LANGUAGE= LC_ALL=C.UTF-8
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
expect_eq() { [ "$1" == "$2" ] || fail "$3: expected '$2', got '$1'"; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
share=$prefix/share

# Width and height from a PNG's header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }

# Every option and command a help text shows, one a line.
help_words() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
commands() { "$prefix/bin/partwell-cli" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p'; }

installed_tree() {
    for f in bin/partwell bin/partwell-cli; do
        [ -x "$prefix/$f" ] || fail "$f is not installed"
    done
    # The command line's messages in Chinese, from the catalogue installed with it.
    [ -f "$share/locale/zh_CN/LC_MESSAGES/partwell-cli.mo" ] || fail "no Chinese catalogue installed"
    LANGUAGE=zh_CN "$prefix/bin/partwell-cli" --help | grep -q '^用法：' ||
        fail "the installed partwell-cli does not find its Chinese catalogue"
    # Both answer --version without a display, before Qt would look for one.
    expect_eq "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/partwell" --version)" \
        "partwell $version" "partwell --version"
    expect_eq "$("$prefix/bin/partwell-cli" --version)" "partwell-cli $version" "partwell-cli --version"
    env -u DISPLAY "$prefix/bin/partwell" --help | grep -q '^Usage: partwell ' || fail "partwell --help"

    local desktop=$share/applications/$app_id.desktop metainfo=$share/metainfo/$app_id.metainfo.xml
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
    appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.log" 2>&1 ||
        fail "appstreamcli validate: $(cat "$scratch/appstream.log")"
    # The entry starts an installed program and names an installed icon.
    local exec icon
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -x "$prefix/bin/$exec" ] || fail "Exec=$exec is not an installed program"
    [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
    for size in 48 64 128 256; do
        local png=$share/icons/hicolor/${size}x$size/apps/$icon.png
        expect_eq "$(png_size "$png")" "${size}x$size" "$png"
    done
    grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch $app_id.desktop"
    # A new version needs its release in the metainfo.
    expect_eq "$(grep -o '<release version="[^"]*"' "$metainfo" | head -1)" \
        "<release version=\"$version\"" "newest release in the metainfo"
}

# Checks a gzipped manual page (English, or LANGUAGE/ for a translation) with groff and renders
# its text into $scratch/LANGUAGEPAGE.txt.
render_manual() {
    local page=$share/man/$2man1/$1.1.gz source=$scratch/${2%/}$1.1
    local text=${source%.1}.txt
    : >"$text"
    [ -f "$page" ] || { fail "$2$1.1.gz is not installed"; return; }
    zcat "$page" >"$source"
    groff -k -man -ww -z -Tutf8 "$source" 2>"$scratch/groff.log" || fail "groff $2$1.1"
    [ -s "$scratch/groff.log" ] && fail "groff warns on $2$1.1: $(cat "$scratch/groff.log")"
    grep -q "$1 $version" "$source" || fail "the manual $2$1.1 does not name version $version"
    groff -k -man -Tutf8 -rLL=1000n -rHY=0 -P-cbou "$source" >"$text" 2>/dev/null
}

# The Chinese texts of the split and merge areas' controls other than boxes and lists, one a line.
control_labels() {
    local table
    table=$(dirname "${BASH_SOURCE[0]}")/../../src/app/control_table.cpp
    sed -n '/\/\/ Split area\./,/\/\/ Progress\./p' "$table" |
        awk '/add\(\{/ { kind = ""; text = "" }
             match($0, /\.kind = K::[A-Za-z]+/) { kind = substr($0, RSTART + 11, RLENGTH - 11) }
             match($0, /\.text = "[^"]*"/) { text = substr($0, RSTART + 9, RLENGTH - 10) }
             /\}\);/ && kind != "Edit" && kind != "Combo" && text ~ /[^ -~]/ {
                 gsub(/ /, "", text); print text }'
}

manual() {
    # The English page, and the Chinese one where man looks under a zh_CN locale.
    local language bom
    for language in "" zh_CN/; do
        render_manual partwell-cli "$language"
        render_manual partwell "$language"
        # Every command and option the program knows is described.
        local text
        text=$(cat "$scratch/${language%/}partwell-cli.txt")
        for command in $(commands); do
            grep -qw -- "$command" <<<"$text" || fail "the manual $language misses the command $command"
            for option in $("$prefix/bin/partwell-cli" "$command" --help | help_words); do
                grep -q -- "$option" <<<"$text" || fail "the manual $language misses $command $option"
            done
        done
        grep -q 'partwell-cli(1)' "$scratch/${language%/}partwell.txt" ||
            fail "${language}partwell.1 does not lead to partwell-cli"
        bom='byte-order mark'
        [ -n "$language" ] && bom='字节顺序标记'
        for page in partwell partwell-cli; do
            grep -q "$bom" "$scratch/${language%/}$page.txt" ||
                fail "$language$page.1 does not say which parts start with a byte-order mark"
        done
    done
    # The Chinese window page names every labelled control of the two areas as the window shows it
    # (line breaks fall between Chinese characters, so white space is left out on both sides).
    local zh_text labels label
    zh_text=$(tr -d ' \t\n' <"$scratch/zh_CNpartwell.txt")
    labels=$(control_labels)
    [ "$(wc -l <<<"$labels")" -ge 20 ] || fail "too few labels read from control_table.cpp: $labels"
    while IFS= read -r label; do
        grep -qF -- "$label" <<<"$zh_text" || fail "zh_CN/partwell.1 does not name the control $label"
    done <<<"$labels"
    # The package's documentation folder: the licence and a changelog naming this version.
    local doc=$share/doc/partwell
    grep -q '^License: GPL-3.0-or-later$' "$doc/copyright" || fail "no GPL-3.0-or-later in copyright"
    zcat "$doc/changelog.gz" | head -1 | grep -q "^partwell ($version)" ||
        fail "the changelog does not start with version $version"
}

# Runs the completion as bash would for the words given, the last being the one completed.
complete_words() {
    PATH=$prefix/bin:$PATH bash -c '
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=()
        _partwell_cli
        printf "%s\n" "${COMPREPLY[@]}"' _ "$share/bash-completion/completions/partwell-cli" "$@"
}

completion() {
    expect_eq "$(complete_words partwell-cli sp)" "split" "partwell-cli sp<TAB>"
    expect_eq "$(complete_words partwell-cli --v)" "--version" "partwell-cli --v<TAB>"
    expect_eq "$(complete_words partwell-cli split --no)" "--no-subfolder" "split --no<TAB>"
    expect_eq "$(complete_words partwell-cli split --size 1MB --ty)" "--types" "split ... --ty<TAB>"
    expect_eq "$(complete_words partwell-cli detect --d)" "--decode" "detect --d<TAB>"
    expect_eq "$(complete_words partwell-cli split --parts '')" "" "a value after --parts"
    expect_eq "$(complete_words partwell-cli frobnicate --)" "" "an unknown command"
    # A Chinese help does not hide the commands; a folder is offered after --output-dir.
    expect_eq "$(LANGUAGE=zh_CN complete_words partwell-cli sp)" "split" "sp<TAB> in Chinese"
    mkdir -p "$scratch/outdir" && touch "$scratch/outfile"
    expect_eq "$(complete_words partwell-cli merge --output-dir "$scratch/out")" "$scratch/outdir" \
        "a folder after --output-dir"
    # Whatever the program's help lists is offered.
    expect_eq "$(complete_words partwell-cli '' | grep -v '^--' | sort)" "$(commands | sort)" \
        "the commands"
    for command in $(commands); do
        expect_eq "$(complete_words partwell-cli "$command" -- | sort)" \
            "$("$prefix/bin/partwell-cli" "$command" --help | help_words)" "the options of $command"
    done
}

"$case_name"
[ "$failures" -eq 0 ]
