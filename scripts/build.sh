#!/usr/bin/env bash
# Configures and builds one configuration: native | asan | win | fuzz, all of
# it or only the targets named after it. Build folders live under build/ (or
# $TFTPCFG_BUILD_ROOT).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TFTPCFG_BUILD_ROOT:-$root/build}
jobs=${TFTPCFG_JOBS:-$(nproc)}
kind=${1:?native, asan, win or fuzz}
shift
targets=()
for t in "$@"; do targets+=(--target "$t"); done
case "$kind" in
  native) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan) args=(-DCMAKE_BUILD_TYPE=Debug -DTFTPCFG_SANITIZE=ON -DTFTPCFG_BENCH=OFF) ;;
  win) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake") ;;
  # libFuzzer targets under ASan and UBSan; they need clang.
  fuzz) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTFTPCFG_FUZZ=ON -DTFTPCFG_BENCH=OFF
              -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "build.sh: unknown configuration $kind" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$out/$kind" "${args[@]}" >/dev/null
cmake --build "$out/$kind" -j"$jobs" ${targets[@]+"${targets[@]}"}
