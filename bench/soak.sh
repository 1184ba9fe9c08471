#!/usr/bin/env bash
# Soak run of the desktop program under Qt's offscreen platform: import a
# large generated item file, show many random items, step Back and Forward
# many times, and print the resident memory along the way. A leak shows as a
# series that keeps rising after the first samples.
#
#   bench/soak.sh [ITEM_FILE]
#
# Without ITEM_FILE the 250,000-item file (about 300 MB) is generated into the
# build folder first. Environment: BUILD_DIR (default build-soak), SHOWS
# (100000), STEPS (10000), SEED (1).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build-soak}"
shows="${SHOWS:-100000}"
steps="${STEPS:-10000}"
seed="${SEED:-1}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUARRY_BUILD_GUI=ON -DQUARRY_BUILD_TESTS=OFF -DQUARRY_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target quarry-window-bench quarry-gen

file="${1:-$build/items-250k.xml}"
if [[ ! -f "$file" ]]; then
  echo "generating $file" >&2
  "$build/bench/quarry-gen" --items 250000 --seed 1 --output "$file"
fi

export QT_QPA_PLATFORM=offscreen
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
"$build/bench/quarry-window-bench" --shows "$shows" --steps "$steps" --seed "$seed" "$file" | tee "$out"

# Flat means: from the first sample after the import settled (10,000 shows)
# to the last, the resident memory grows by less than 5 MB.
first="$(awk '$1 == "rss_mb" && $2 ~ /_shows$/ { print $3; exit }' "$out")"
last="$(awk '$1 == "rss_mb" { v = $3 } END { print v }' "$out")"
if [[ -z "$first" || -z "$last" ]]; then
  echo "soak: no memory samples" >&2
  exit 1
fi
growth="$(awk -v a="$first" -v b="$last" 'BEGIN { printf "%.1f", b - a }')"
echo "soak: resident memory from the first sample to the last: $first MB -> $last MB ($growth MB)"
awk -v g="$growth" 'BEGIN { exit !(g < 5.0) }' || { echo "soak: memory did not stay flat" >&2; exit 1; }
echo "soak: memory stayed flat"
