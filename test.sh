#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest.
#   ./test.sh             the normal build (the system compiler, GCC) in build/
#   ./test.sh --sanitize  the same suite built with clang, AddressSanitizer and UBSan in
#                         build-sanitize/
#   ./test.sh --tsan      the store and window tests built with ThreadSanitizer in build-tsan/
#   ./test.sh --coverage  the same suite built with coverage counters in build-coverage/, then a
#                         line and branch summary of the core library and of the window code
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
case "${1:-}" in
--sanitize)
  build_dir=build-sanitize
  cmake_args=(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DQUARRY_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ;;
--coverage)
  build_dir=build-coverage
  # Atomic counters: the tree build's workers run the same code at once, and
  # counters raced to negative values otherwise.
  cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DQUARRY_BUILD_BENCH=OFF
    "-DCMAKE_CXX_FLAGS=--coverage -fprofile-update=atomic" -DCMAKE_EXE_LINKER_FLAGS=--coverage)
  scripts/ensure_packages.sh gcovr
  ;;
esac

scripts/build.sh "$build_dir" "${cmake_args[@]}"
# What the tests use beside the build: the desktop entry's and the AppStream
# validators, groff for the manual pages, dpkg-dev and lintian for the Debian package.
scripts/ensure_packages.sh desktop-file-utils appstream groff-base dpkg-dev lintian
# Counters of an earlier run would add to this one's.
[[ "$build_dir" == build-coverage ]] && find "$build_dir" -name '*.gcda' -delete
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"

if [[ "$build_dir" == build-coverage ]]; then
  # summary TITLE FOLDER...: line and branch coverage of the sources in those folders.
  summary() {
    local title=$1; shift
    local filters=()
    for folder in "$@"; do [[ -d "$folder" ]] && filters+=(--filter "$folder/"); done
    echo "== $title ($*)"
    gcovr --root . --object-directory "$build_dir" "${filters[@]}" \
      --exclude-directories '.*/CMakeFiles/[0-9.]+/.*' \
      --exclude-throw-branches --exclude-unreachable-branches \
      --txt "$build_dir/coverage-$title.txt" --print-summary | grep -E '^(lines|branches):'
  }
  summary core pattern store report platform search
  summary window controls ui app
fi
