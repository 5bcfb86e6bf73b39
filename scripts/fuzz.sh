#!/usr/bin/env bash
# Runs every fuzz target of the fuzz build (scripts/build.sh fuzz) for a bounded
# time, starting from its seed corpus in tests/fuzz/corpus/<target>. New inputs
# go to a working corpus under the build folder, so the committed seeds stay as
# they are. Prints executions and crashes per target; fails on any crash.
#
#   TFTPCFG_FUZZ_SECONDS   time per target (default 60)
#   TFTPCFG_FUZZ_TARGETS   targets to run (default: all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TFTPCFG_BUILD_ROOT:-$root/build}
seconds=${TFTPCFG_FUZZ_SECONDS:-60}
targets=${TFTPCFG_FUZZ_TARGETS:-hostlist int_text settings_store ip_part}
bin="$out/fuzz/tests/fuzz"
work="$out/fuzz/work"

status=0
summary=()
for t in $targets; do
  exe="$bin/fuzz_$t"
  seeds="$root/tests/fuzz/corpus/$t"
  if [ ! -x "$exe" ] || [ ! -d "$seeds" ]; then
    echo "fuzz.sh: $exe or $seeds is missing" >&2
    exit 2
  fi
  mkdir -p "$work/$t/corpus" "$work/$t/artifacts"
  log="$work/$t/log.txt"
  echo "== fuzz $t for ${seconds} s"
  rc=0
  # The outer timeout only guards against a hang that libFuzzer's own limits miss.
  timeout $((seconds + 120)) "$exe" -max_total_time="$seconds" -print_final_stats=1 \
    -max_len=65536 -timeout=30 -rss_limit_mb=4096 \
    -artifact_prefix="$work/$t/artifacts/" "$work/$t/corpus" "$seeds" >"$log" 2>&1 || rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  crashes=$(find "$work/$t/artifacts" -type f | wc -l)
  summary+=("$(printf '%-16s executions %-12s crashes %s' "$t" "${execs:-?}" "$crashes")")
  if [ "$rc" -ne 0 ] || [ "$crashes" -ne 0 ]; then
    echo "fuzz.sh: $t failed (exit $rc); last lines of $log:" >&2
    tail -40 "$log" >&2
    status=1
  fi
done

echo "== fuzz summary (${seconds} s per target)"
printf '%s\n' "${summary[@]}"
exit $status
