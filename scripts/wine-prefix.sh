#!/bin/sh
# Creates and prepares the project-local Wine prefix given as $1 (never ~/.wine).
# First use: boots the prefix, copies Wine's fonts in (Debian's Wine loads fonts
# only from C:\windows\Fonts) and sets a virtual desktop, so GUI tests get fast
# window destruction and their exit codes. Later uses only check a marker.
# With --start-server it also starts a persistent wineserver and boots the
# prefix's system processes, as the CTest fixture does before the Windows tests.
set -eu
prefix=$1
WINEPREFIX=$prefix
WINEDEBUG=-all
WINEDLLOVERRIDES=winemenubuilder.exe=d
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

if [ -z "${DISPLAY:-}" ]; then
  echo "wine-prefix: no DISPLAY; start Xvfb first (scripts/test.sh does)" >&2
  exit 1
fi

marker="$prefix/.tftpcfg-prefix-ready"
if [ ! -f "$marker" ]; then
  mkdir -p "$prefix"
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w >/dev/null 2>&1 </dev/null
  fonts="$prefix/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/* "$fonts/"
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d tests /f >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v tests /d 1024x768 /f >/dev/null 2>&1 </dev/null
  wineserver -w >/dev/null 2>&1 </dev/null
  touch "$marker"
fi

if [ "${2:-}" = "--start-server" ]; then
  # A server that is already running for this prefix (a test run by hand) is fine.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine wineboot >/dev/null 2>&1 </dev/null
fi
exit 0
