#!/usr/bin/env bash
# Installs the Debian packages Partwell needs, and only when something is missing (clang and
# its runtime libraries are for `make fuzz`).
set -euo pipefail

packages=(g++ make cmake pkg-config qt6-base-dev libpcre2-dev zlib1g-dev libgtest-dev
          clang libclang-rt-14-dev
          fonts-wqy-microhei)

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
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
