#!/usr/bin/env bash
# clang-format with the project's .clang-format on every C and C++ file of the
# repository (tracked, or new and not ignored; never build/).
#   scripts/format.sh           rewrites the files that need it
#   scripts/format.sh --check   changes nothing; prints each finding and fails on any
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=fix
case "${1:-}" in
  "") ;;
  --check) mode=check ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac
start=$(date +%s)

cd "$root"
patterns=('*.c' '*.cc' '*.cpp' '*.h' '*.hpp')
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -d '' listed < <(git ls-files -z --cached --others --exclude-standard -- "${patterns[@]}")
  files=()
  for f in ${listed[@]+"${listed[@]}"}; do
    [ -f "$f" ] && files+=("$f")  # not a file deleted but not yet committed
  done
else
  mapfile -d '' files < <(find . -path ./build -prune -o -type f \
    \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print0)
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "format.sh: no C or C++ file found" >&2
  exit 2
fi

if [ "$mode" = fix ]; then
  printf '%s\0' "${files[@]}" | xargs -0 clang-format -i
  echo "format: ${#files[@]} files formatted"
  exit 0
fi
if ! printf '%s\0' "${files[@]}" | xargs -0 clang-format --dry-run -Werror; then
  echo "format.sh: files need formatting (scripts/format.sh fixes them)" >&2
  exit 1
fi
echo "format: ${#files[@]} files clean, $(($(date +%s) - start)) s"
