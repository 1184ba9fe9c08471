#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs what the build uses, configures and builds.
# Usage: scripts/build.sh BUILD_DIR [extra cmake arguments...]
# QUARRY_WERROR and QUARRY_BUILD_BENCH set in the environment (ON or OFF) are passed on to
# CMake, so CI can ask every build for them at once.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1; shift

cmake_args=("$@")
for option in QUARRY_WERROR QUARRY_BUILD_BENCH; do
  [[ -n "${!option:-}" ]] && cmake_args+=("-D$option=${!option}")
done

# The packages follow what this configuration builds; the defaults are CMakeLists.txt's.
is_on() { [[ "${1^^}" =~ ^(ON|1|TRUE|YES|Y)$ ]]; }
compiler= gui=ON tests=ON bench=OFF sanitize=OFF
for arg in "${cmake_args[@]}"; do
  case "$arg" in
    -DCMAKE_CXX_COMPILER=*) compiler=${arg#*=} ;;
    -DQUARRY_BUILD_GUI=*)   gui=${arg#*=} ;;
    -DQUARRY_BUILD_TESTS=*) tests=${arg#*=} ;;
    -DQUARRY_BUILD_BENCH=*) bench=${arg#*=} ;;
    -DQUARRY_SANITIZE=*)    sanitize=${arg#*=} ;;
  esac
done
# SQLite: the export, which the command-line tool and the window both link.
# xxHash's header: the import cache hashes with it (compiled in, no library at run time).
# mimalloc: the programs' allocator (CMakeLists.txt, QUARRY_MIMALLOC).
# ccache: a build in a fresh clone reuses what an earlier clone compiled (below).
packages=(cmake ninja-build ccache libsqlite3-dev libxxhash-dev libmimalloc-dev)
if [[ "$(basename "$compiler")" == clang* ]]; then
  packages+=(clang)
  is_on "$sanitize" && packages+=(libclang-rt-14-dev)  # the sanitizer runtimes
else
  packages+=(g++)
fi
is_on "$gui" && packages+=(qt6-base-dev)
# PCRE2 is the reference of the pattern engine's differential test and of the benchmarks.
is_on "$tests" && packages+=(libgtest-dev pkg-config libpcre2-dev)
# The export tests read the output back with Python's json and sqlite3 modules.
is_on "$tests" && packages+=(python3)
is_on "$bench" && packages+=(pkg-config libpcre2-dev libpugixml-dev)
"$here/scripts/ensure_packages.sh" "${packages[@]}"

# Told to use another compiler than the cached one, CMake would drop its cache and with it
# these arguments; configure afresh instead.
fresh=()
cache=$build_dir/CMakeCache.txt
if [[ -n "$compiler" && -f "$cache" ]]; then
  resolve() { realpath -q "$(command -v "$1")"; }
  cached=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$cache")
  [[ "$(resolve "$compiler")" == "$(resolve "$cached")" ]] || fresh=(--fresh)
fi
# Paths under the clone are hashed relative to it, and the build folder not at
# all, so that every clone of the same sources shares the compiled objects.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=true
cmake "${fresh[@]}" -S "$here" -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
  -DCMAKE_C_COMPILER_LAUNCHER=ccache "${cmake_args[@]}" >/dev/null
# QUARRY_BUILD_TARGETS: build only these targets (a space-separated list).
targets=()
for target in ${QUARRY_BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build_dir" -j "$(nproc)" "${targets[@]}"
