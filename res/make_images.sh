#!/usr/bin/env bash
# Draws the program's artwork with ImageMagick: the application icon and the
# three toolbar strips (normal, hot, disabled), each holding the Back, Forward
# and Search images of 20 x 20 pixels side by side. The PNGs are committed;
# run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"

# Application icon: a cut stone block on a slate tile.
convert -size 256x256 xc:none \
  -fill '#2f4858' -draw 'roundrectangle 8,8 247,247 36,36' \
  -fill '#c9c3b3' -draw 'polygon 52,92 128,52 204,92 204,176 128,216 52,176' \
  -fill '#e8e2d0' -draw 'polygon 52,92 128,52 204,92 128,132' \
  -fill '#a39d8c' -draw 'polygon 128,132 204,92 204,176 128,216' \
  -stroke '#2f4858' -strokewidth 6 -fill none \
  -draw 'polyline 52,92 128,132 204,92' -draw 'line 128,132 128,216' \
  quarry.png
for size in 16 32 48 64 128; do
  convert quarry.png -resize ${size}x${size} quarry_${size}.png
done

# One strip of toolbar images in the given colours: arrow colour, lens colour.
strip() {
  local out=$1 arrow=$2 lens=$3 handle=$4
  convert -size 60x20 xc:none \
    -fill "$arrow" -draw 'polygon 2,10 10,3 10,7 17,7 17,13 10,13 10,17' \
    -draw 'polygon 38,10 30,3 30,7 23,7 23,13 30,13 30,17' \
    -stroke "$lens" -strokewidth 2 -fill none -draw 'circle 48,8 48,3' \
    -stroke "$handle" -strokewidth 3 -draw 'line 52,12 57,17' \
    "$out"
}
strip toolbar_normal.png '#2e7d32' '#1f4e79' '#6b4f2a'
strip toolbar_hot.png '#43a047' '#2f74b5' '#8d6a3a'
strip toolbar_disabled.png '#a0a0a0' '#a0a0a0' '#a0a0a0'
