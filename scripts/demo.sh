#!/usr/bin/env bash
# The demo command: installs what is needed, builds everything, and shows the
# component at work as the host application uses it, under Wine:
#   - registers the 32-bit and 64-bit DLLs with regsvr32 (paylode-host register)
#     and lists the bank's services;
#   - exports a batch of payments in each of the four formats through the real
#     DLL, its payment options dialog and the save-file dialog, answered by
#     paylode-host as a clerk would, and shows each payment file, every
#     payment's status and the choices remembered in BANKSERV.INI;
#   - reconciles a statement of those runs against the payment journal
#     (paylode reconcile) and imports it, marking the payments it shows;
#   - imports a statement file into the host's reconciliation;
#   - saves a picture of the options dialog over a batch of 4000 payments;
# then the `paylode` tool's banking calendar and date checks. Everything it
# writes stays in demo-output/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"

bash scripts/install-deps.sh
for preset in "${presets[@]}"; do
  echo "=== building $preset"
  build_preset "$preset" >/dev/null
done
start_display

out=$repo/demo-output
rm -rf "$out"
mkdir -p "$out"
paylode=$repo/build/native/bin/paylode

# host BITS ARGS...: paylode-host of that bitness under Wine, in demo-output/,
# in the build's own Wine prefix. Its exit status is shown, not fatal.
host() {
  local bits=$1
  shift
  echo
  echo "\$ paylode-host $* ($bits-bit)"
  local status=0
  (cd "$out" && "$repo/cmake/wine-run.sh" "$repo/build/win$bits/wineprefix" \
    "$repo/build/win$bits/bin/paylode-host.exe" "$@") || status=$?
  echo "(exit status $status)"
}

echo
echo "=== registering the component and the reference host under Wine"
for bits in 32 64; do host "$bits" register; done
echo
echo "=== the bank's services"
for bits in 32 64; do host "$bits" services; done

# The payment journal of the 64-bit prefix starts empty, so that the
# statement below is set against this demo's runs only.
journal_folder="$repo/build/win64/wineprefix/drive_c/ProgramData/TORVO/Torvo EBanking"
rm -f "$journal_folder"/PaylodeJournal-*.csv "$journal_folder"/PaylodeOnStatement-*.csv

# The first processing date the options dialog accepts today.
date=$("$paylode" calendar "$(date +%F)" | sed -n 's/.*"next":"\([0-9-]*\)".*/\1/p')
echo
echo "=== the batch (tests/cli/export/batch.csv), paid on $date"
cp tests/cli/export/batch.csv tests/cli/sample-statement.csv "$out/"
cat "$out/batch.csv"
for format in 0 1 2 3; do
  echo
  echo "=== payment file, format $format, through the DLL's own dialogs (64-bit)"
  args=(pay batch.csv --format "$format" --date "$date" --out "payments-$format.txt" --statuses
        --account 12-34-56:12345678)
  [ "$format" = 1 ] || [ "$format" = 2 ] && args+=(--template "Staff pay")
  [ "$format" = 2 ] || [ "$format" = 3 ] && args+=(--reference "Ben ref")
  [ "$format" = 0 ] && args+=(--iat 2)
  [ "$format" = 1 ] && args+=(--euro)
  host 64 "${args[@]}"
  echo "--- payments-$format.txt (CR LF shown as ^M\$)"
  cat -A "$out/payments-$format.txt"
done
echo "--- the bulk list template file written beside the format 2 file"
cat -A "$out/STAFF PAY"
echo "--- what the component remembered in BANKSERV.INI (64-bit prefix)"
cat "$repo/build/win64/wineprefix/drive_c/ProgramData/TORVO/Torvo EBanking/BANKSERV.INI"
echo "--- the four runs in the payment journal beside it (the last runs of paylode journal)"
"$paylode" journal --folder "$journal_folder" 2>/dev/null

echo
echo "=== the same batch paid again: the journal shows its payments exported, and OK asks first (answered No)"
host 64 pay batch.csv --format 0 --date "$date" --out payments-again.txt --account 12-34-56:12345678 --iat 2 \
  --account-warning no

echo
echo "=== the bank's statement of those runs, reconciled against the journal"
# A statement as the bank would send it a week on: the format 0 run's
# payments and the format 2 run's bulk total debited, a bank charge, and the
# euro run (format 1) not yet debited.
statement_day() { date -d "$1" +%d/%m/%Y; }
{
  echo "Sort Code,Account Number,Account Alias,Account Short Name,Currency,Account Type,BIC,Bank Name,Branch Name,Date,Narrative #1,Narrative #2,Narrative #3,Narrative #4,Narrative #5,Type,Debit,Credit"
  line() { printf '123456,12345678,Operating,Demo Ltd,GBP,Current,KELMGB2L,Kelmar Bank,High Street,%s,%s,,,,,%s,%s,%s\r\n' "$@"; }
  line "$(statement_day "$date - 1 day")" "OPENING" BGC "" 5000.00
  "$paylode" journal --folder "$journal_folder" --payments 2>/dev/null |
    jq -r 'select(.format == 0 and .amount != "0.00") | [.run, .processing_date, .payee_bacs_reference, .amount] | join("|")' |
    awk -F'|' 'NR == 1 { run = $1 } $1 == run' | while IFS='|' read -r _ day reference amount; do
      line "$(statement_day "$day")" "BACS $reference" DD "$amount" ""
    done
  "$paylode" journal --folder "$journal_folder" 2>/dev/null | jq -r 'select(.format == 2) | [.processing_date, .total] | join("|")' |
    head -1 | while IFS='|' read -r day total; do line "$(statement_day "$day + 1 day")" "BULK Ben ref" DD "$total" ""; done
  line "$(statement_day "$date + 7 days")" "CHARGES" DD 12.34 ""
} >"$out/demo-statement.csv"
cat "$out/demo-statement.csv"
show() { echo; echo "\$ paylode $*"; "$paylode" "$@" || echo "(exit status $?)"; }
(cd "$out" && show reconcile demo-statement.csv --sort-code 12-34-56 --account 12345678 --folder "$journal_folder")
echo
echo "=== the statement imported: the payments it shows are marked in the journal, for the options dialog"
host 64 import demo-statement.csv --account 12-34-56:12345678
cat "$journal_folder/PaylodeOnStatement-$(date +%Y).csv"

echo
echo "=== the 32-bit DLL writes the same file"
mkdir -p "$out/32-bit"
host 32 pay batch.csv --format 3 --date "$date" --out 32-bit/payments-3.txt --reference "Ben ref"
cmp "$out/payments-3.txt" "$out/32-bit/payments-3.txt" && echo "32-bit/payments-3.txt is byte for byte payments-3.txt"

echo
echo "=== importing the statement file (tests/cli/sample-statement.csv) for account 12-34-56 12345678"
host 64 import sample-statement.csv --account 12-34-56:12345678

echo
echo "=== the options dialog over 4000 payments, three marked as IATs"
{
  echo "amount,payer_sort_code,payer_account_number,payee_sort_code,payee_account_number,payee_account_name,payee_bacs_reference,details"
  for i in $(seq 1 4000); do
    printf '%d.%02d,12-34-56,12345678,%06d,%08d,SUPPLIER %04d LTD,INV %05d,Invoice %d\n' \
      $((i % 950 + 10)) $((i % 100)) $((200000 + i)) $((30000000 + i)) "$i" "$i" "$i"
  done
} >"$out/large-batch.csv"
host 64 pay large-batch.csv --format 0 --date "$date" --out payments-4000.txt --iat 0,2,4 \
  --screenshot options-dialog-4000.bmp
echo "payments-4000.txt: $(wc -l <"$out/payments-4000.txt") records"
python3 scripts/bmp-to-png.py "$out/options-dialog-4000.bmp" "$out/options-dialog-4000.png"
rm -f "$out/options-dialog-4000.bmp"

echo
echo "=== the paylode tool: banking calendar, 23 December 2020 to 4 January 2021"
show calendar 2020-12-23 2021-01-04
echo
echo "=== processing-date checks"
show check-date 2024-03-05 --today 2024-03-01
show check-date 2024-03-09 --today 2024-03-01

echo
echo "=== done"
echo "The payment files and the bulk list template file: $out"
echo "The picture of the payment options dialog over 4000 payments: $out/options-dialog-4000.png"
