#!/usr/bin/env bash
# Benchmarks of the Windows build under Wine: builds the benchmark programs of
# one preset (win64 unless told win32) and runs each in that build's Wine
# prefix, under a display of its own when none is set. They print figures and
# never fail on one; their generated files go to the temporary folder.
#   bash scripts/bench-wine.sh [win64|win32]
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"
preset=${1:-win64}

# Each benchmark: its program, then its arguments.
benchmarks=(
  "paylode_bench_statement_import 100000 1000000"
  "paylode_bench_payment_options_dialog 4000 400 40"
)

start_display
cmake --preset "$preset" >/dev/null || exit 1
targets=()
for benchmark in "${benchmarks[@]}"; do targets+=(--target "${benchmark%% *}"); done
cmake --build --preset "$preset" "${targets[@]}" || exit 1

status=0
for benchmark in "${benchmarks[@]}"; do
  read -r program arguments <<<"$benchmark"
  echo "=== $preset: $program $arguments"
  # shellcheck disable=SC2086  # the arguments are words
  cmake/wine-run.sh "$repo/build/$preset/wineprefix" "build/$preset/bin/$program.exe" $arguments || status=1
done
exit $status
