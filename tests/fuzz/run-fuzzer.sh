#!/usr/bin/env bash
# Runs one fuzz target for a bounded time and fails on any crash, sanitizer
# report, leak or timeout (libFuzzer then ends with a non-zero status).
#   run-fuzzer.sh FUZZER CORPUS DICTIONARY WORKDIR SECONDS
# New inputs go to WORKDIR, never into the corpus in the repository; the
# input that failed is kept in WORKDIR/artifacts.
set -uo pipefail
fuzzer=$1 corpus=$2 dictionary=$3 work=$4 seconds=$5
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$fuzzer" "$work/corpus" "$corpus" -dict="$dictionary" -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -max_len=4096 -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
  >"$work/log" 2>&1
status=$?
if [ "$status" -ne 0 ]; then
  tail -n 60 "$work/log"
  echo "$(basename "$fuzzer"): FAILED with status $status; inputs in $work/artifacts"
  exit "$status"
fi
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$work/log"
grep -E '^#[0-9]+.*DONE' "$work/log" | tail -n 1
echo "$(basename "$fuzzer"): no crash, leak, sanitizer report or timeout in $seconds s"
