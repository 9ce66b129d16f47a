#!/usr/bin/env bash
# Installs the Debian packages that one make target needs, and only those that are missing.
# Usage: install-deps.sh run|test|sanitize|package|fuzz|checks|bench
set -euo pipefail

# What every build needs: a compiler, CMake, the engine's libraries and msgfmt for the
# command line's message catalogues.
base=(g++ make cmake pkg-config gettext libpcre2-dev zlib1g-dev libssl-dev)
# The window: Qt, a Chinese font and Qt's own texts in Chinese.
run=("${base[@]}" qt6-base-dev fonts-wqy-microhei qt6-translations-l10n)
# The tests, the validators of the menu entry and metainfo, and the manual's renderer.
test=("${run[@]}" libgtest-dev desktop-file-utils appstream groff-base)
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
    echo "installing 1 Debian package: ${missing[0]}, this takes about a minute"
else
    echo "installing ${#missing[@]} Debian packages: ${list%, }, this takes about a minute"
fi
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# apt's and dpkg's chatter goes to a log, shown only by its path when something fails.
log=$(mktemp -t partwell-deps.XXXXXX.log)
if ! { $sudo apt-get update -q && $sudo apt-get install -y -q --no-install-recommends \
        "${missing[@]}"; } >"$log" 2>&1; then
    echo "Installing the packages failed; apt's output is in $log" >&2
    exit 1
fi
rm -f "$log"
