#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy on every C and C++ file the
# builds compile, and fails on any finding:
#   - the portable sources with the native configuration's compile commands;
#   - the Windows sources (those only the cross build compiles) with the cross
#     build's, for the MinGW target. clang does not find MinGW's libstdc++ by
#     itself, so its include folders are taken from the cross compiler.
# The project's headers are checked through the files that include them; a
# finding in a header is printed once. Configures build/native and build/win
# first (no build), so that their compile commands name every source.
#
#   scripts/tidy.sh [file...]   only the files named (default: all)
#   TFTPCFG_JOBS                clang-tidy processes at a time (default: cores)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TFTPCFG_BUILD_ROOT:-$root/build}
jobs=${TFTPCFG_JOBS:-$(nproc)}
start=$(date +%s)

for kind in native win; do
  (cd "$root" && cmake --preset "$kind" -B "$out/$kind" >/dev/null)
done

# The C++ include folders of the cross compiler (the ones before its C folders).
mingw_cxx=()
while read -r dir; do
  mingw_cxx+=("--extra-arg=-isystem$dir")
done < <(x86_64-w64-mingw32-g++-posix -E -x c++ -v - </dev/null 2>&1 |
  sed -n '/^#include <...> search starts here:/,/^End of search list/p' | sed -n 's/^ \(.*\/c++.*\)$/\1/p')
if [ ${#mingw_cxx[@]} -eq 0 ]; then
  echo "tidy.sh: no C++ include folder found for x86_64-w64-mingw32-g++-posix" >&2
  exit 2
fi
export TIDY_WIN_ARGS="--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++ ${mingw_cxx[*]}"
# Findings in the project's own headers, not in generated ones under the build folder.
export TIDY_HEADER_FILTER="^$root/(src|tests|tools|bench)/"

# The files of a compile_commands.json that lie in the repository (not build/).
sources_of() {
  python3 - "$1" "$root" "$out" <<'PY'
import json, os, sys
db, root, out = sys.argv[1:]
seen = set()
for entry in json.load(open(db)):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(root + "/") and not path.startswith(out + "/") and path not in seen:
        seen.add(path)
        print(path)
PY
}

mapfile -t native_files < <(sources_of "$out/native/compile_commands.json")
mapfile -t win_all < <(sources_of "$out/win/compile_commands.json")
mapfile -t win_files < <(comm -23 <(printf '%s\n' "${win_all[@]}" | sort) \
  <(printf '%s\n' "${native_files[@]}" | sort))

# Only the files named, when any are.
if [ $# -gt 0 ]; then
  wanted=$(for f in "$@"; do realpath -m "$f"; done | sort -u)
  mapfile -t native_files < <(comm -12 <(printf '%s\n' "${native_files[@]}" | sort) <(echo "$wanted"))
  mapfile -t win_files < <(comm -12 <(printf '%s\n' "${win_files[@]}" | sort) <(echo "$wanted"))
fi

logs="$out/tidy"
rm -rf "$logs"
mkdir -p "$logs"
export TIDY_LOGS=$logs

# One clang-tidy run: kind (native|win), build folder, file. Its output goes to a
# log of its own, so parallel runs do not mix.
tidy_one() {
  local kind=$1 build=$2 file=$3 log extra=()
  log="$TIDY_LOGS/$kind.$(echo "${file#/}" | tr / _).log"
  # shellcheck disable=SC2206  # the arguments are words without spaces
  [ "$kind" = win ] && extra=($TIDY_WIN_ARGS)
  if ! clang-tidy --quiet -p "$build" --header-filter="$TIDY_HEADER_FILTER" \
    ${extra[@]+"${extra[@]}"} "$file" >"$log" 2>&1; then
    echo "$file ($kind)" >>"$TIDY_LOGS/failed-runs"
  fi
}
export -f tidy_one

{
  for f in ${native_files[@]+"${native_files[@]}"}; do printf '%s\0%s\0%s\0' native "$out/native" "$f"; done
  for f in ${win_files[@]+"${win_files[@]}"}; do printf '%s\0%s\0%s\0' win "$out/win" "$f"; done
} | xargs -0 -n 3 -P "$jobs" bash -c 'tidy_one "$@"' _

# Each finding once, by its first line (file:line:col: warning|error: text [check]).
cat "$logs"/*.log 2>/dev/null | grep -E '^[^ ].*:[0-9]+:[0-9]+: (warning|error): ' |
  sed "s|^$root/||" | sort -u >"$logs/findings.txt" || true
count=$(wc -l <"$logs/findings.txt")
elapsed=$(($(date +%s) - start))
checked="${#native_files[@]} portable and ${#win_files[@]} Windows files"
if [ "$count" -gt 0 ] || [ -s "$logs/failed-runs" ]; then
  cat "$logs/findings.txt"
  if [ -s "$logs/failed-runs" ]; then
    echo "tidy.sh: clang-tidy failed on:" >&2
    sed 's/^/  /' "$logs/failed-runs" >&2
  fi
  echo "tidy.sh: $count findings in $checked, ${elapsed} s (logs with context: $logs)" >&2
  exit 1
fi
echo "tidy: no findings in $checked, ${elapsed} s"
