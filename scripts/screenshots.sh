#!/usr/bin/env bash
# Takes pictures of every page of the configuration window, the rule dialog in
# both modes and each message box, under Wine on Xvfb, and saves them as PNG.
#   scripts/screenshots.sh [output folder] [DPI]
# Default output: build/screenshots (the pictures in docs/ were taken this way).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/screenshots}
dpi=${2:-96}
build=${TFTPCFG_BUILD_ROOT:-$root/build}/win
# shellcheck source=display.sh
. "$root/scripts/display.sh"

"$root/scripts/setup.sh"
"$root/scripts/build.sh" win >/dev/null
tftpcfg_ensure_display

# A prefix of its own, so the pictures do not depend on what tests left behind.
prefix=$build/screenshot-prefix
sh "$root/scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null
wineserver -w

mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"; wineserver -k 2>/dev/null || true' EXIT
wine "$build/tools/screenshots.exe" "$(winepath -w "$tmp")" >/dev/null 2>&1 </dev/null
wineserver -w
n=0
for bmp in "$tmp"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "$out/$(basename "${bmp%.bmp}").png"
  n=$((n + 1))
done
# Back to the default DPI for later runs in the same prefix.
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 </dev/null || true
echo "$n pictures at $dpi DPI in $out"
[ "$n" -gt 0 ]
