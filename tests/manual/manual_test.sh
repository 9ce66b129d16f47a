#!/usr/bin/env bash
# Renders every built manual page as man shows it: the English page (plain ASCII) in the C locale,
# in a Latin-1 locale when one is installed and in UTF-8, the Chinese page in zh_CN.UTF-8. Any
# troff warning fails, since man then drops the text it could not render (and caches the result).
# Usage: manual_test.sh DATA_BUILD_DIR PAGE...
set -uo pipefail

dir=$1
shift
for tool in man groff; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (bash scripts/install-deps.sh test installs man-db and groff-base)"
        exit 77
    fi
done
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

installed() { locale -a 2>/dev/null | grep -qix "$1"; }
english_locales=(C C.UTF-8)
installed en_US.iso88591 && english_locales+=(en_US.ISO-8859-1)
# Without zh_CN.UTF-8, man falls back to ASCII; C.UTF-8 gives it the same UTF-8 output.
chinese_locale=zh_CN.UTF-8
if ! installed zh_CN.utf8; then
    echo "note: zh_CN.UTF-8 is not installed (localedef -i zh_CN -f UTF-8 zh_CN.UTF-8); using C.UTF-8"
    chinese_locale=C.UTF-8
fi

# man -l reads the file itself and never a cached page. Prints the page's text into $scratch/out.
render() {
    local locale=$1 page=$2
    if ! LANGUAGE= LC_ALL=$locale MANWIDTH=80 MAN_KEEP_FORMATTING= man --warnings -l "$page" \
            >"$scratch/out" 2>"$scratch/log"; then
        fail "man -l $page under $locale: $(cat "$scratch/log")"
    elif [ -s "$scratch/log" ]; then
        fail "$page under $locale warns: $(head -5 "$scratch/log")"
    fi
}

for name in "$@"; do
    en=$dir/$name.1.gz zh=$dir/zh_CN/$name.1.gz
    [ -f "$en" ] || { fail "$en was not built"; continue; }
    [ -f "$zh" ] || { fail "$zh was not built"; continue; }
    bytes=$(zcat "$en" | LC_ALL=C grep -n $'[^\t -~]' | head -3)
    [ -z "$bytes" ] || fail "$name.1 holds bytes outside ASCII: $bytes"
    for locale in "${english_locales[@]}"; do
        render "$locale" "$en"
    done
    grep -q "LANG=zh_CN.UTF-8 man $name" "$scratch/out" || fail "$name.1 does not point to the Chinese page"

    render "$chinese_locale" "$zh"
    grep -q '^名称' "$scratch/out" || fail "zh_CN/$name.1 renders no Chinese heading"
    # A line break in the source inside Chinese text becomes a stray space.
    stray=$(sed 's/^ *//' "$scratch/out" | LC_ALL=C.UTF-8 grep -n '[，。；：、（）] \| [，。；：、（）]' | head -3)
    [ -z "$stray" ] || fail "zh_CN/$name.1 has a space beside Chinese punctuation: $stray"
done
[ "$failures" -eq 0 ]
