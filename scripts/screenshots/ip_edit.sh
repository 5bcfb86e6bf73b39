#!/usr/bin/env bash
# Takes docs/ip_edit.png: a small window with an IP address field, normal and
# disabled, shown by scripts/screenshots/ip_edit_demo.cpp in a Wine desktop of
# the window's size on Xvfb. Needs the Windows build (scripts/build.sh win).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${TFTPCFG_BUILD_ROOT:-$root/build}/win
# shellcheck source=../display.sh
. "$root/scripts/display.sh"
tftpcfg_ensure_display

lib="$out/src"
if [ ! -f "$lib/controls/libcontrols_win.a" ]; then
  echo "ip_edit.sh: build the Windows configuration first (scripts/build.sh win)" >&2
  exit 1
fi
exe="$out/screenshots/ip_edit_demo.exe"
mkdir -p "$(dirname "$exe")"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -municode -mwindows -static \
  -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 \
  -I"$root/src" "$root/scripts/screenshots/ip_edit_demo.cpp" -o "$exe" \
  "$lib/controls/libcontrols_win.a" "$lib/controls/libcontrols_model.a" \
  "$lib/platform/libplatform_win.a" -lwsock32 -lws2_32 -lcomctl32 -lgdi32 -luser32

prefix="$out/wineprefix"
sh "$root/scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
# A desktop of exactly the window's size, so the desktop's X window is the picture.
wine explorer /desktop=ipedit,220x106 "$exe" >/dev/null 2>&1 </dev/null &
wine_pid=$!
id=""
for _ in $(seq 1 100); do
  id=$(xdotool search --name '^ipedit - Wine desktop$' 2>/dev/null | head -n1 || true)
  [ -n "$id" ] && break
  sleep 0.1
done
if [ -z "$id" ]; then
  echo "ip_edit.sh: the demo window did not appear" >&2
  exit 1
fi
sleep 1.5  # let the window paint
mkdir -p "$root/docs"
import -window "$id" "$root/docs/ip_edit.png"
wait "$wine_pid" || true
echo "wrote docs/ip_edit.png"
