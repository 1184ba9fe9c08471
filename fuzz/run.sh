#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UBSan on) in
# build-fuzz/ and runs each one for a while.
#   fuzz/run.sh                  every target for 15 seconds
#   fuzz/run.sh 3600             every target for an hour
#   fuzz/run.sh 600 fuzz_pattern one target
# New inputs collect in build-fuzz/corpus/<target>/ (the seeds in
# fuzz/corpus/<target>/ are only read); a crash is written to
# build-fuzz/crashes/ and makes the script fail once every target has run.
# QUARRY_WERROR=ON in the environment fails the build on any compiler warning.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-15}
shift || true
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(fuzz_pattern fuzz_item_file fuzz_rich_text fuzz_query)
build_dir=${QUARRY_FUZZ_BUILD_DIR:-$here/build-fuzz}

"$here/scripts/ensure_packages.sh" cmake ninja-build clang libclang-rt-14-dev

if ! grep -q 'QUARRY_FUZZ' "$here/CMakeLists.txt"; then
  echo "error: the top-level CMakeLists.txt does not add fuzz/ when QUARRY_FUZZ is ON" >&2
  exit 1
fi

cmake_args=()
[[ -n "${QUARRY_WERROR:-}" ]] && cmake_args+=("-DQUARRY_WERROR=$QUARRY_WERROR")
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S "$here" -B "$build_dir" -G Ninja \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="$flags" \
  -DQUARRY_FUZZ=ON -DQUARRY_BUILD_GUI=OFF -DQUARRY_BUILD_TESTS=OFF -DQUARRY_BUILD_BENCH=OFF \
  "${cmake_args[@]}" >/dev/null
cmake --build "$build_dir" -j "${QUARRY_FUZZ_BUILD_JOBS:-2}" --target "${targets[@]}"

# Inputs longer than these add time per run and no new paths.
# A query past 4096 bytes is refused unread, so a little more reaches every path.
declare -A max_len=([fuzz_pattern]=512 [fuzz_item_file]=16384 [fuzz_rich_text]=16384 [fuzz_query]=4200)

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build_dir/crashes"
failed=()
for target in "${targets[@]}"; do
  corpus=$build_dir/corpus/$target
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560
           -max_len="${max_len[$target]:-16384}" -print_final_stats=1
           -artifact_prefix="$build_dir/crashes/$target-")
  [[ -f "$here/fuzz/dict/$target.dict" ]] && options+=(-dict="$here/fuzz/dict/$target.dict")
  echo "== $target: $seconds s" >&2
  log=$build_dir/$target.log
  if "$build_dir/fuzz/$target" "${options[@]}" "$corpus" "$here/fuzz/corpus/$target" >"$log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" >&2 || true
  else
    failed+=("$target")
    tail -n 60 "$log" >&2
  fi
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzzing found faults in: ${failed[*]} (inputs in $build_dir/crashes/)" >&2
  exit 1
fi
