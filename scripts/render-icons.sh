#!/usr/bin/env bash
# Renders data/icons/glimra.svg into the PNG sizes the install puts into the hicolor theme.
# Run by hand after changing the SVG and commit the PNGs; needs rsvg-convert (librsvg2-bin),
# which the build does not.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$here/data/icons/$size"
    rsvg-convert -w "$size" -h "$size" "$here/data/icons/glimra.svg" \
        -o "$here/data/icons/$size/glimra.png"
done
