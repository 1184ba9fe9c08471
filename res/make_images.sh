#!/usr/bin/env bash
# Draws the program's artwork with ImageMagick: the application icon (an SVG
# and PNGs) and the three toolbar strips (normal, hot, disabled), each holding
# the Back, Forward and Search images of 20 x 20 pixels side by side. The
# images are committed; run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"

# Application icon: a cut stone block on a slate tile, as a scalable SVG and
# as PNGs of the usual sizes, from the same shapes.
tile=(8 8 247 247 36)
block='52,92 128,52 204,92 204,176 128,216 52,176'
top='52,92 128,52 204,92 128,132'
side='128,132 204,92 204,176 128,216'
ridge='52,92 128,132 204,92'
cat > quarry.svg <<SVG
<?xml version="1.0" encoding="UTF-8"?>
<!-- The application icon, written by make_images.sh. -->
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <rect x="${tile[0]}" y="${tile[1]}" width="$((tile[2] - tile[0]))" height="$((tile[3] - tile[1]))" rx="${tile[4]}" fill="#2f4858"/>
  <polygon points="$block" fill="#c9c3b3"/>
  <polygon points="$top" fill="#e8e2d0"/>
  <polygon points="$side" fill="#a39d8c"/>
  <g fill="none" stroke="#2f4858" stroke-width="6">
    <polyline points="$ridge"/>
    <line x1="128" y1="132" x2="128" y2="216"/>
  </g>
</svg>
SVG
convert -size 256x256 xc:none \
  -fill '#2f4858' -draw "roundrectangle ${tile[0]},${tile[1]} ${tile[2]},${tile[3]} ${tile[4]},${tile[4]}" \
  -fill '#c9c3b3' -draw "polygon $block" \
  -fill '#e8e2d0' -draw "polygon $top" \
  -fill '#a39d8c' -draw "polygon $side" \
  -stroke '#2f4858' -strokewidth 6 -fill none \
  -draw "polyline $ridge" -draw 'line 128,132 128,216' \
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
