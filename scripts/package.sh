#!/usr/bin/env bash
# Builds the release files of the Windows build and lists them:
#   build/win/dist/OstrelTFTPConfig-<version>-x64.msi  installer (per machine)
#   build/win/dist/OstrelTFTPConfig-<version>-x64.zip  portable: program and help file
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TFTPCFG_BUILD_ROOT:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" win
ls -l "$out/win/dist/"*.msi "$out/win/dist/"*.zip
