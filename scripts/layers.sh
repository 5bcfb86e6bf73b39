#!/usr/bin/env bash
# Checks that the source folders depend on each other downwards only, as the
# README's design section draws them: each folder's files include project
# headers only from the folders listed for it. Fails naming every include
# that points elsewhere.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/src"

declare -A allowed=(
  [base]="base"
  [platform]="base platform"
  [config]="base platform config"
  [service]="base platform service"
  [controls]="base platform controls"
  [toolkit]="base platform controls toolkit"
  [ui]="base platform config service controls toolkit ui"
)

status=0
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file line include; do
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$include")
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *)
        echo "layers: src/$file:$line includes $target/ (allowed: ${allowed[$folder]})"
        status=1
        ;;
    esac
  done < <(grep -rnE '^#include "[a-z_]+/' "$folder" || true)
done
[ "$status" = 0 ] && echo "layers: every include points down"
exit "$status"
