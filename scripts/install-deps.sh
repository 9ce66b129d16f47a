#!/usr/bin/env bash
# Installs the Debian packages that one make target needs, and only those that are missing.
# Usage: install-deps.sh run|test|sanitize|package|fuzz|checks|bench
set -euo pipefail

# What every build needs: a compiler, CMake, the engine's libraries and msgfmt for the
# command line's message catalogues.
base=(g++ make cmake pkg-config gettext libpcre2-dev zlib1g-dev libssl-dev libgf-complete-dev)
# The window: Qt, a Chinese font, Qt's own texts in Chinese, and xdg-open to show a folder.
run=("${base[@]}" qt6-base-dev fonts-wqy-microhei qt6-translations-l10n xdg-utils)
# The tests, the validators of the menu entry and metainfo, man with its renderer for the manual
# pages, and par2cmdline, the reference for recovery files.
test=("${run[@]}" libgtest-dev desktop-file-utils appstream groff-base man-db par2)
# The engine's tests without the window, under the sanitizers.
sanitize=("${base[@]}" libgtest-dev)
# cpack asks dpkg-shlibdeps (which uses file) for the libraries the package depends on; lintian
# checks the package.
package=("${run[@]}" dpkg-dev file lintian)
# The formatting and static checks of CI.
checks=(clang-format clang-tidy)
# The fuzz targets: clang with libFuzzer and the sanitizers' runtime.
fuzz=("${base[@]}" clang libclang-rt-14-dev)
# The benchmarks time and measure every run with /usr/bin/time and work out ratios with bc.
bench=("${base[@]}" time bc)

case ${1:-} in
run) packages=("${run[@]}") ;;
test) packages=("${test[@]}") ;;
sanitize) packages=("${sanitize[@]}") ;;
package) packages=("${package[@]}") ;;
fuzz) packages=("${fuzz[@]}") ;;
checks) packages=("${checks[@]}") ;;
bench) packages=("${bench[@]}") ;;
*)
    echo "usage: $0 run|test|sanitize|package|fuzz|checks|bench" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

list=$(printf '%s, ' "${missing[@]}")
if [ ${#missing[@]} -eq 1 ]; then
    echo "installing 1 Debian package: ${missing[0]}"
else
    echo "installing ${#missing[@]} Debian packages: ${list%, }"
fi
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# apt's and dpkg's chatter goes to a log, shown only by its path when something fails.
log=$(mktemp -t partwell-deps.XXXXXX.log)
failed() {
    echo "Installing the packages failed; apt's output is in $log" >&2
    exit 1
}
$sudo apt-get update -q >"$log" 2>&1 || failed
# On a fresh system the packages named pull in many more; how long it takes depends on those.
total=$(apt-get install -s -q --no-install-recommends "${missing[@]}" 2>/dev/null | grep -c '^Inst ' || true)
if [ "${total:-0}" -gt ${#missing[@]} ]; then
    echo "with what they depend on, apt-get installs $total packages"
fi
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >>"$log" 2>&1 || failed
rm -f "$log"
