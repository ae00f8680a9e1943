#!/usr/bin/env bash
# Draws the editor's logo (packaging/icons/qavo.svg, the shapes the editor paints) with ImageMagick at
# 1024 pixels and writes the PNG sizes of the hicolor theme into packaging/icons/. Run it when the logo
# changes and commit the result.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
s=64 # pixels per unit of the 16-unit logo
big=$(mktemp --suffix=.png)
trap 'rm -f "$big"' EXIT
u() { awk -v s=$s "BEGIN { printf \"%d\", ($1) * s }"; }
line() { echo "line $(u "$1"),$(u "$2") $(u "$3"),$(u "$4")"; }
circle() { echo "circle $(u "$1"),$(u "$2") $(u "$1 + $3"),$(u "$2")"; }
convert -size 1024x1024 xc:none \
    -fill '#1d4a94' -draw "roundrectangle $(u 0.5),$(u 0.5) $(u 15.5),$(u 15.5) $(u 3),$(u 3)" \
    -stroke white -strokewidth "$(u 1.3)" -fill none \
    -draw "stroke-linecap round $(line 4 8 7 8) $(line 7 4 7 12) $(line 7 4 10.5 4) $(line 7 8 10.5 8) $(line 7 12 10.5 12)" \
    -stroke none -fill white \
    -draw "$(circle 12 4 1.4) $(circle 12 8 1.4) $(circle 12 12 1.4) $(circle 3.2 8 1.6)" \
    "$big"
for size in 16 22 24 32 48 64 128 256; do
    convert "$big" -filter Lanczos -resize ${size}x${size} -strip "qavo-$size.png"
done
# The Windows installer's icon.
convert qavo-16.png qavo-24.png qavo-32.png qavo-48.png qavo-64.png qavo-256.png qavo.ico
# The About box's logo, read beside the program (or in share/qavo).
convert qavo-64.png Logo.gif
