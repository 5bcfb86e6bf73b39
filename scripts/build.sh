#!/usr/bin/env bash
# Configures and builds one configuration: native | asan | win | fuzz, all of
# it or only the targets named after it. Each is the configure preset of that
# name in CMakePresets.json; build folders live under build/ (or
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
  native | asan | win | fuzz) ;;
  *) echo "build.sh: unknown configuration $kind" >&2; exit 2 ;;
esac
# The preset's settings; the folder named here wins over the preset's own.
(cd "$root" && cmake --preset "$kind" -B "$out/$kind" >/dev/null)
cmake --build "$out/$kind" -j"$jobs" ${targets[@]+"${targets[@]}"}
