#!/usr/bin/env bash
# Benchmarks of the Windows build under Wine: builds the benchmark programs of
# one preset (win64 unless told win32) and runs each in that build's Wine
# prefix, under a display of its own when none is set; then times whole
# payment runs of `paylode-host pay` (40 and 4000 payments, the options
# dialog reading a year of payment journal, 400,000 lines). They print
# figures and never fail on one; their generated files go to the temporary
# folder.
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
targets=(--target paylode-host --target TorvoKelmarBankPaylode --target paylode_make_journal_file)
for benchmark in "${benchmarks[@]}"; do targets+=(--target "${benchmark%% *}"); done
cmake --build --preset "$preset" "${targets[@]}" || exit 1

status=0
for benchmark in "${benchmarks[@]}"; do
  read -r program arguments <<<"$benchmark"
  echo "=== $preset: $program $arguments"
  # shellcheck disable=SC2086  # the arguments are words
  cmake/wine-run.sh "$repo/build/$preset/wineprefix" "build/$preset/bin/$program.exe" $arguments || status=1
done

# ---- whole payment runs over a year of journal ---------------------------------
# The median of five `paylode-host pay` runs of each size, the component
# registered in the prefix and its journal folder pointed at the year.
prefix=$repo/build/$preset/wineprefix
run() { "$repo/cmake/wine-run.sh" "$prefix" "$@"; }
work=$(mktemp -d)
folder="Z:${work//\//\\}"  # the work folder through Wine's Z: drive
trap 'rm -rf "$work"; stop_displays' EXIT
journal_key='HKLM\SOFTWARE\Torvo\Kelmar Bank Paylode'
run "build/$preset/bin/paylode_make_journal_file.exe" "$folder\\PaylodeJournal-$(date +%Y).csv" \
  "$(date +%F)" || status=1
run reg add "$journal_key" /v JournalFolder /t REG_SZ /d "$folder" /f /reg:64 >/dev/null 2>&1 || status=1
(cd "$work" && run "$repo/build/$preset/bin/paylode-host.exe" register >/dev/null 2>&1) ||
  { status=1; echo "paylode-host register failed"; }
# A weekday a week or more ahead; a closure on it is answered by the option.
day=7
while [ "$(date -d "+$day days" +%u)" -gt 5 ]; do day=$((day + 1)); done
echo "=== $preset: paylode-host pay over a journal of $(wc -l <"$work"/PaylodeJournal-*.csv) lines (median of 5)"
for count in 40 4000; do
  {
    echo "amount,payer_sort_code,payer_account_number,payee_sort_code,payee_account_number,payee_account_name,payee_bacs_reference,status"
    awk -v n="$count" 'BEGIN { for (i = 1; i <= n; i++)
      printf "%d.%02d,12-34-56,12345678,20-00-00,%08d,SUPPLIER %d,INV%d,0\n", 100 + i % 500, 25, 10000000 + i, i, i }'
  } >"$work/batch-$count.csv"
  times=()
  for _ in 1 2 3 4 5; do
    started=$(date +%s%N)
    (cd "$work" && run "$repo/build/$preset/bin/paylode-host.exe" pay "batch-$count.csv" --format 0 --date "$(date -d "+$day days" +%F)" \
      --out "pay-$count.txt" --account-warning yes --closed-date-warning yes >"$work/err" 2>&1) ||
      { status=1; echo "paylode-host pay failed: $(tail -2 "$work/err")"; }
    times+=($((($(date +%s%N) - started) / 1000000)))
  done
  echo "$count payments: $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p) ms"
  grep -o 'and [0-9]* payments* w[a-z]* exported before[^.]*' "$work/err" | sed 's/^and /  /'
  rm -f "$work/pay-$count.txt"
done
run reg delete "$journal_key" /v JournalFolder /f /reg:64 >/dev/null 2>&1
exit $status
