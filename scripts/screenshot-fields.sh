#!/usr/bin/env bash
# Takes the pictures of the three input fields for docs/: the number field and
# the folder field (normal, read-only, disabled) and the IP address field
# (normal, disabled), each shown alone by a demo program of tools/demos in the
# test Wine prefix on an X display (Xvfb is started when there is none).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TFTPCFG_BUILD_ROOT:-$root/build}/win
# shellcheck source=display.sh
. "$root/scripts/display.sh"

"$root/scripts/setup.sh"
"$root/scripts/build.sh" win fields_demo ip_address_field_demo >/dev/null
tftpcfg_ensure_display
prefix="$out/wineprefix"
sh "$root/scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$root/docs"

# The number and folder fields: the demo prints its window's screen rectangle
# once drawn, which is cut out of the Wine desktop.
shoot() {  # kind picture
  local kind=$1 picture=$2 line="" i
  wine "$out/tools/fields_demo.exe" "$kind" 5000 >"$tmp/$kind.out" 2>/dev/null </dev/null &
  local pid=$!
  for i in $(seq 1 200); do
    line=$(grep -m1 '^ready' "$tmp/$kind.out" 2>/dev/null || true)
    [ -n "$line" ] && break
    sleep 0.1
  done
  [ -n "$line" ] || { echo "screenshot-fields: the $kind demo did not come up" >&2; exit 1; }
  sleep 0.5  # let the X server catch up with the last paint
  local x y w h target
  read -r _ x y w h <<<"$(echo "$line" | tr -d '\r')"
  target=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -1 || true)
  [ -n "$target" ] || target=root
  import -window "$target" -crop "${w}x${h}+${x}+${y}" +repage "$picture"
  wait "$pid" || true
  echo "screenshot-fields: $picture (${w}x${h})"
}
shoot number "$root/docs/number_field.png"
shoot folder "$root/docs/folder_field.png"

# The IP address field: a Wine desktop of exactly the demo window's size, so
# the desktop's X window is the picture.
wine explorer /desktop=ipfield,220x106 "$out/tools/ip_address_field_demo.exe" >/dev/null 2>&1 </dev/null &
wine_pid=$!
id=""
for _ in $(seq 1 100); do
  id=$(xdotool search --name '^ipfield - Wine desktop$' 2>/dev/null | head -n1 || true)
  [ -n "$id" ] && break
  sleep 0.1
done
[ -n "$id" ] || { echo "screenshot-fields: the IP address demo did not come up" >&2; exit 1; }
sleep 1.5  # let the window paint
import -window "$id" "$root/docs/ip_address_field.png"
kill "$wine_pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "screenshot-fields: $root/docs/ip_address_field.png"
