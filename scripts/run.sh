#!/usr/bin/env bash
# Sets up the machine, builds the program and opens the configuration window
# under Wine, in a project-local prefix (build/win/run-prefix) in which a
# stand-in service is installed as "OstrelTFTPd", so that OK -> Yes really
# restarts something. With a display the window opens there and the script
# returns when it is closed; without one it runs on Xvfb, saves a screenshot
# and prints its path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TFTPCFG_BUILD_ROOT:-$root/build}/win
# shellcheck source=display.sh
. "$root/scripts/display.sh"
# shellcheck source=settings-reg.sh
. "$root/scripts/settings-reg.sh"

"$root/scripts/setup.sh"
"$root/scripts/build.sh" win >/dev/null
exe=$build/bin/tftpcfg.exe

had_display=${DISPLAY:-}
tftpcfg_ensure_display

prefix=$build/run-prefix
first_use=0
[ -f "$prefix/.tftpcfg-prefix-ready" ] || first_use=1
sh "$root/scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d

if [ -n "$had_display" ]; then
  # On a real display the program's window is a window of that desktop.
  wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 </dev/null || true
fi
if [ "$first_use" = 1 ]; then
  # A folder to serve and a first configuration, so the window has something to show.
  mkdir -p "$prefix/drive_c/TFTP/logs"
  write_settings_reg "$prefix/drive_c/sample-settings.reg" 'C:\\TFTP' 'C:\\TFTP\\logs' \
    "[192.168.1.0, 255.255.255.0, R], [192.168.1.66, 255.255.255.255, NA]" 0000c350 0000c3b4 1
  wine regedit /S 'C:\sample-settings.reg' >/dev/null 2>&1 </dev/null
fi
# The stand-in service, running, as the program expects to find it.
wine "$build/tests/win/stub_service.exe" --install normal >/dev/null 2>&1 </dev/null
wine "$build/tests/win/stub_service.exe" --start >/dev/null 2>&1 </dev/null || true

if [ -n "$had_display" ]; then
  echo "Opening the configuration window on $DISPLAY (close it to return)."
  wine "$exe" </dev/null
  exit 0
fi

echo "No display: running the window on Xvfb ($DISPLAY)."
wine "$exe" >/dev/null 2>&1 </dev/null &
for _ in $(seq 1 100); do
  xdotool search --onlyvisible --name '^Ostrel TFTP Service Configuration$' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1
shot=$build/run-window.png
import -window root "$shot"
# Keep the part of the screen the Wine desktop covers.
convert "$shot" -trim +repage "$shot" 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "The configuration window is running; screenshot: $shot"
