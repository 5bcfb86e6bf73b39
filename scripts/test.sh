#!/usr/bin/env bash
# Sets up the machine, checks the sources, builds every configuration and runs
# every test: clang-format, the layering of the folders and clang-tidy first
# (scripts/format.sh --check, scripts/layers.sh, scripts/tidy.sh), so that a
# finding fails within minutes; then native unit
# tests, the same under AddressSanitizer/UBSan, a bounded run of every fuzz
# target (TFTPCFG_FUZZ_SECONDS each, default 60; 0 skips the run), and the
# Windows tests under Wine (Xvfb is started when there is no display).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TFTPCFG_BUILD_ROOT:-$root/build}
jobs=${TFTPCFG_JOBS:-$(nproc)}
# shellcheck source=display.sh
. "$root/scripts/display.sh"

"$root/scripts/setup.sh"
start=$(date +%s)

echo "== format"
"$root/scripts/format.sh" --check
echo "== layers"
"$root/scripts/layers.sh"
echo "== tidy"
"$root/scripts/tidy.sh"

# Tests are chosen by label (unit, gui, reliability, installer, fuzz; see
# cmake/TestHelpers.cmake): a test without one would escape every selection.
require_labels() {
  local unlabelled
  unlabelled=$(ctest --test-dir "$1" -N -LE . | sed -n 's/^ *Test *#[0-9]*: //p')
  if [ -n "$unlabelled" ]; then
    echo "test.sh: tests without a label in $1: ${unlabelled//$'\n'/ }" >&2
    exit 1
  fi
}

for kind in native asan; do
  echo "== $kind: build"
  "$root/scripts/build.sh" "$kind"
  require_labels "$out/$kind"
  echo "== $kind: test"
  ctest --test-dir "$out/$kind" --output-on-failure --no-tests=error -j"$jobs"
done

echo "== fuzz: build"
"$root/scripts/build.sh" fuzz
require_labels "$out/fuzz"
ctest --test-dir "$out/fuzz" --output-on-failure --no-tests=error -j"$jobs"
if [ "${TFTPCFG_FUZZ_SECONDS:-60}" != 0 ]; then
  "$root/scripts/fuzz.sh"
fi

echo "== win: build"
"$root/scripts/build.sh" win
require_labels "$out/win"
tftpcfg_ensure_display
echo "== win: test (under Wine, display $DISPLAY)"
ctest --test-dir "$out/win" --output-on-failure --no-tests=error

echo "== all tests passed in $(( $(date +%s) - start )) s"
