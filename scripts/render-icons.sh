#!/usr/bin/env bash
# Draws the PNG icons from data/icons/partwell.svg again after the SVG changed (needs rsvg-convert,
# from librsvg2-bin). The PNGs are kept in the repository, so a build needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
for size in 48 64 128 256; do
    mkdir -p "$size"
    rsvg-convert -w "$size" -h "$size" partwell.svg -o "$size/partwell.png"
done
