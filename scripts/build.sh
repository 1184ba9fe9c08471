#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs what the build needs, configures and builds.
# Usage: scripts/build.sh BUILD_DIR [extra cmake arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1; shift

"$here/scripts/ensure_packages.sh" \
  cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev \
  libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev libpugixml-dev

cmake -S "$here" -B "$build_dir" -G Ninja "$@" >/dev/null
# QUARRY_BUILD_TARGETS: build only these targets (a space-separated list).
targets=()
for target in ${QUARRY_BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build_dir" -j "$(nproc)" "${targets[@]}"
