#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest.
#   ./test.sh             the normal build (the system compiler, GCC) in build/
#   ./test.sh --sanitize  the same suite built with clang, AddressSanitizer and UBSan in
#                         build-sanitize/
#   ./test.sh --tsan      the store and window tests built with ThreadSanitizer in build-tsan/
# In the environment, QUARRY_WERROR=ON fails the build on any compiler warning and
# QUARRY_BUILD_BENCH=ON builds the benchmarks too; CI sets both.
set -euo pipefail
cd "$(dirname "$0")"

if [[ "${1:-}" == "--tsan" ]]; then
  # Only what runs threads: the store (whose tree build loads on a pool) and the window.
  targets=(store_tests ui_window_test)
  QUARRY_BUILD_TARGETS="${targets[*]}" scripts/build.sh build-tsan \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARRY_TSAN=ON -DQUARRY_BUILD_BENCH=OFF
  export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan_suppressions.txt"
  export QT_QPA_PLATFORM=offscreen
  build-tsan/tests/store/store_tests
  build-tsan/tests/ui/ui_window_test
  exit
fi

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ "${1:-}" == "--sanitize" ]]; then
  build_dir=build-sanitize
  cmake_args=(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DQUARRY_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

scripts/build.sh "$build_dir" "${cmake_args[@]}"
# What the tests use beside the build: the desktop entry's and the AppStream
# validators, groff for the manual pages, dpkg-dev for the Debian package.
scripts/ensure_packages.sh desktop-file-utils appstream groff-base dpkg-dev
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
