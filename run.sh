#!/usr/bin/env bash
# Installs what is missing, builds, and starts quarry on the bundled sample item file.
set -euo pipefail
cd "$(dirname "$0")"

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "Built quarry_core in build/."
