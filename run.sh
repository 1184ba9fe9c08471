#!/usr/bin/env bash
# Installs what is missing, builds, and starts quarry on the bundled sample item file.
# Without a display it shows what the command-line tool makes of the same file instead.
set -euo pipefail
cd "$(dirname "$0")"

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
sample=res/sample_items.xml

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x build/app/quarry ]]; then
  exec build/app/quarry "$sample"
fi

echo "No display found, so the window cannot open; here is the command-line tool on $sample." >&2
build/cli/quarry-cli stats "$sample"
first=$(build/cli/quarry-cli index "$sample" | head -n 1 | cut -f 1)
echo
echo "quarry-cli show --format text $sample $first:"
build/cli/quarry-cli show --format text "$sample" "$first"
