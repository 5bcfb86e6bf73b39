#!/usr/bin/env bash
# Takes the pictures of the number field and the folder field (normal,
# read-only, disabled) for docs/: runs the demo program in the test Wine prefix
# on an X display (Xvfb is started when there is none) and cuts its window out
# of the Wine desktop. Build first: scripts/build.sh win.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TFTPCFG_BUILD_ROOT:-$root/build}
# shellcheck source=display.sh
. "$root/scripts/display.sh"
tftpcfg_ensure_display

exe="$out/win/tests/win/fields_demo.exe"
[ -f "$exe" ] || { echo "screenshot-fields: build the Windows configuration first" >&2; exit 1; }
prefix="$out/win/wineprefix"
sh "$root/scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$root/docs"

shoot() {  # kind picture
  local kind=$1 picture=$2 line="" i
  wine "$exe" "$kind" 5000 >"$tmp/$kind.out" 2>/dev/null </dev/null &
  local pid=$!
  for i in $(seq 1 200); do
    line=$(grep -m1 '^ready' "$tmp/$kind.out" 2>/dev/null || true)
    [ -n "$line" ] && break
    sleep 0.1
  done
  [ -n "$line" ] || { echo "screenshot-fields: the $kind demo did not come up" >&2; exit 1; }
  sleep 0.5  # let the X server catch up with the last paint
  local x y w h
  read -r _ x y w h <<<"$(echo "$line" | tr -d '\r')"
  # With a virtual desktop the window lives inside the desktop's X window.
  local target
  target=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -1 || true)
  [ -n "$target" ] || target=root
  import -window "$target" -crop "${w}x${h}+${x}+${y}" +repage "$picture"
  wait "$pid" || true
  echo "screenshot-fields: $picture (${w}x${h})"
}

shoot spin "$root/docs/spin_edit.png"
shoot folder "$root/docs/folder_edit.png"
