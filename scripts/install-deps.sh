#!/usr/bin/env bash
# Installs the Debian packages Partwell needs, and only when something is missing (clang and
# its runtime libraries are for `make fuzz`).
set -euo pipefail

packages=(g++ make cmake pkg-config qt6-base-dev libpcre2-dev zlib1g-dev libssl-dev libgtest-dev
          fonts-wqy-microhei qt6-translations-l10n
          desktop-file-utils appstream groff-base dpkg-dev file
          clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
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
echo "Installed."
