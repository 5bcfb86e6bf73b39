#!/usr/bin/env bash
# Configures and builds one configuration: native | asan | win.
# Build folders live under build/ (or $TFTPCFG_BUILD_ROOT).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TFTPCFG_BUILD_ROOT:-$root/build}
jobs=${TFTPCFG_JOBS:-$(nproc)}
kind=${1:?native, asan or win}
case "$kind" in
  native) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan) args=(-DCMAKE_BUILD_TYPE=Debug -DTFTPCFG_SANITIZE=ON -DTFTPCFG_BENCH=OFF) ;;
  win) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake") ;;
  *) echo "build.sh: unknown configuration $kind" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$out/$kind" "${args[@]}" >/dev/null
cmake --build "$out/$kind" -j"$jobs"
