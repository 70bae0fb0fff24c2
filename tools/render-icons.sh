#!/usr/bin/env bash
# Renders the program's icon from its SVG source to the PNG sizes the program loads.
# Needs rsvg-convert (Debian: librsvg2-bin); the PNGs are committed, so building does not.
set -euo pipefail
cd "$(dirname "$0")/../src/resources"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" kalvex.svg -o "icons/kalvex-$size.png"
done
