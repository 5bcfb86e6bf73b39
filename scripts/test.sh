#!/usr/bin/env bash
# Sets up the machine, builds every configuration and runs every test:
# native unit tests, the same under AddressSanitizer/UBSan, a bounded run of
# every fuzz target (TFTPCFG_FUZZ_SECONDS each, default 60; 0 skips the run),
# and the Windows tests under Wine (Xvfb is started when there is no display).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TFTPCFG_BUILD_ROOT:-$root/build}
jobs=${TFTPCFG_JOBS:-$(nproc)}
# shellcheck source=display.sh
. "$root/scripts/display.sh"

"$root/scripts/setup.sh"
start=$(date +%s)

for kind in native asan; do
  echo "== $kind: build"
  "$root/scripts/build.sh" "$kind"
  echo "== $kind: test"
  ctest --test-dir "$out/$kind" --output-on-failure --no-tests=error -j"$jobs"
done

echo "== fuzz: build"
"$root/scripts/build.sh" fuzz
ctest --test-dir "$out/fuzz" --output-on-failure --no-tests=error -j"$jobs"
if [ "${TFTPCFG_FUZZ_SECONDS:-60}" != 0 ]; then
  "$root/scripts/fuzz.sh"
fi

echo "== win: build"
"$root/scripts/build.sh" win
tftpcfg_ensure_display
echo "== win: test (under Wine, display $DISPLAY)"
ctest --test-dir "$out/win" --output-on-failure --no-tests=error

echo "== all tests passed in $(( $(date +%s) - start )) s"
