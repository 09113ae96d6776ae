#!/usr/bin/env bash
# Runs `paylode journal`, and `paylode reconcile` with statements, on
# journals written here, line by line with their CRC-32 check fields, and
# compares the output and exit status exactly.
#   journal-command.sh PAYLODE
set -uo pipefail
paylode=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# The CRC-32 of standard input, 8 lower-case hexadecimal digits: gzip ends
# its output with it, least significant byte first.
crc32() { gzip -c | tail -c 8 | od -An -tx4 -N4 | tr -d ' \n'; }

# line FIELDS...: one journal line, its fields joined by commas as given
# (quote them yourself), its check field and CR LF.
line() {
  local IFS=,
  local fields="$*"
  printf '%s,%s\r\n' "$fields" "$(printf '%s' "$fields" | crc32)"
}

header() {
  printf '\xef\xbb\xbfrun,exported,user,machine,payer_sort_code,payer_account_number,format,processing_date,currency,payment_file,payment_file_sha256,row,payee_account_name,payee_sort_code,payee_account_number,amount,payee_bacs_reference,reference,crc32\r\n'
}

sha=$(printf 'a%.0s' {1..64})
run() {  # run ID EXPORTED SORTCODE ACCOUNT FORMAT DATE CURRENCY then ROW NAME PAYEE_SORT PAYEE_ACCOUNT AMOUNT REF
  line "$1" "$2" clerk PAY1 "$3" "$4" "$5" "$6" "$7" 'C:\Pay\pay.txt' "$sha" "${@:8}"
}

folder=$work/journals
mkdir -p "$folder" "$work/empty"
{
  header
  run r1 2025-12-30T09:00:00 123456 12345678 0 2026-01-05 GBP 1 SUPPLIER 654321 87654321 10.00 INV1 INV1
  run r1 2025-12-30T09:00:00 123456 12345678 0 2026-01-05 GBP 2 '"Smith, ""Jo"""' 654321 11223344 20.50 INV2 INV2
} >"$folder/PaylodeJournal-2025.csv"
{
  header
  run r2 2026-03-02T10:30:00 123456 12345678 2 2026-03-04 EUR 1 'CAF'$'\xc3\xa9' 654321 87654321 1234.56 INV3 ROLL
  run r3 2026-03-03T11:00:00 998877 55555555 3 2026-03-05 GBP 1 OTHER 112233 44556677 0.01 INV4 INV4
} >"$folder/PaylodeJournal-2026.csv"
# Not a journal file: never read.
printf 'garbage\r\n' >"$folder/PaylodeJournal-2026.csv.bak"

r1='{"run":"r1","exported":"2025-12-30T09:00:00","user":"clerk","machine":"PAY1","payer_sort_code":"123456","payer_account_number":"12345678","format":0,"processing_date":"2026-01-05","currency":"GBP","payment_file":"C:\\Pay\\pay.txt","payment_file_sha256":"'$sha'","payments":2,"total":"30.50"}'
r2='{"run":"r2","exported":"2026-03-02T10:30:00","user":"clerk","machine":"PAY1","payer_sort_code":"123456","payer_account_number":"12345678","format":2,"processing_date":"2026-03-04","currency":"EUR","payment_file":"C:\\Pay\\pay.txt","payment_file_sha256":"'$sha'","payments":1,"total":"1234.56"}'
r3='{"run":"r3","exported":"2026-03-03T11:00:00","user":"clerk","machine":"PAY1","payer_sort_code":"998877","payer_account_number":"55555555","format":3,"processing_date":"2026-03-05","currency":"GBP","payment_file":"C:\\Pay\\pay.txt","payment_file_sha256":"'$sha'","payments":1,"total":"0.01"}'
p1='{"run":"r1","exported":"2025-12-30T09:00:00","user":"clerk","machine":"PAY1","payer_sort_code":"123456","payer_account_number":"12345678","format":0,"processing_date":"2026-01-05","currency":"GBP","payment_file":"C:\\Pay\\pay.txt","payment_file_sha256":"'$sha'","row":1,"payee_account_name":"SUPPLIER","payee_sort_code":"654321","payee_account_number":"87654321","amount":"10.00","payee_bacs_reference":"INV1","reference":"INV1"}'
p2='{"run":"r1","exported":"2025-12-30T09:00:00","user":"clerk","machine":"PAY1","payer_sort_code":"123456","payer_account_number":"12345678","format":0,"processing_date":"2026-01-05","currency":"GBP","payment_file":"C:\\Pay\\pay.txt","payment_file_sha256":"'$sha'","row":2,"payee_account_name":"Smith, \"Jo\"","payee_sort_code":"654321","payee_account_number":"11223344","amount":"20.50","payee_bacs_reference":"INV2","reference":"INV2"}'
p3='{"run":"r2","exported":"2026-03-02T10:30:00","user":"clerk","machine":"PAY1","payer_sort_code":"123456","payer_account_number":"12345678","format":2,"processing_date":"2026-03-04","currency":"EUR","payment_file":"C:\\Pay\\pay.txt","payment_file_sha256":"'$sha'","row":1,"payee_account_name":"CAF'$'\xc3\xa9''","payee_sort_code":"654321","payee_account_number":"87654321","amount":"1234.56","payee_bacs_reference":"INV3","reference":"ROLL"}'

# check NAME EXPECTED_STATUS EXPECTED_STDOUT ARGS...: `paylode $command ARGS...`
command=journal
check() {
  local name=$1 status=$2 expected=$3
  shift 3
  local out actual
  out=$("$paylode" "$command" "$@" 2>"$work/stderr")
  actual=$?
  if [ "$actual" != "$status" ]; then
    echo "FAIL $name: exit status $actual, expected $status"; cat "$work/stderr"; failures=$((failures + 1))
  fi
  if [ "$out" != "$expected" ]; then
    echo "FAIL $name: standard output differs"; diff <(echo "$expected") <(echo "$out"); failures=$((failures + 1))
  fi
}

check runs 0 "$r1"$'\n'"$r2"$'\n'"$r3" --folder "$folder"
check account 0 "$r1"$'\n'"$r2" --folder "$folder" --sort-code 12-34-56 --account 12345678
check other-account 0 "$r3" --folder "$folder" --sort-code 998877 --account 55555555
check no-such-account 0 "" --folder "$folder" --sort-code 123456 --account 1234567
check since 0 "$r2"$'\n'"$r3" --folder "$folder" --since 2026-01-01
check since-the-day 0 "$r3" --folder "$folder" --since 2026-03-03
check payments 0 "$p1"$'\n'"$p2"$'\n'"$p3" --folder "$folder" --payments --since 2025-12-30 --sort-code 123456 \
  --account 12345678
[ "$(cd "$folder" && "$paylode" journal --payments --since 2026-03-03 | grep -c '"row":1,')" = 1 ] ||
  { echo "FAIL default-folder: the current folder's journals not read"; failures=$((failures + 1)); }
check verify-whole 0 "" --folder "$folder" --verify
check empty-folder 0 "" --folder "$work/empty"
check empty-folder-verify 0 "" --folder "$work/empty" --verify

# A run killed while it appended leaves a torn last line; the next run's
# lines start on a line of their own. A changed amount breaks its line's
# check. Both are skipped, named by --verify, and counted on standard error.
cp "$folder/PaylodeJournal-2026.csv" "$work/2026.csv"
run r4 2026-03-04T08:00:00 123456 12345678 0 2026-03-06 GBP 1 TORN 654321 87654321 5.00 INV5 INV5 | head -c 60 \
  >>"$folder/PaylodeJournal-2026.csv"
{
  printf '\r\n'
  run r5 2026-03-05T08:00:00 123456 12345678 0 2026-03-09 GBP 1 NEXT 654321 87654321 7.00 INV6 INV6
  run r5 2026-03-05T08:00:00 123456 12345678 0 2026-03-09 GBP 2 NEXT 654321 87654321 8.00 INV6 INV6 | sed 's/8\.00/9.00/'
} >>"$folder/PaylodeJournal-2026.csv"
r5='{"run":"r5","exported":"2026-03-05T08:00:00","user":"clerk","machine":"PAY1","payer_sort_code":"123456","payer_account_number":"12345678","format":0,"processing_date":"2026-03-09","currency":"GBP","payment_file":"C:\\Pay\\pay.txt","payment_file_sha256":"'$sha'","payments":1,"total":"7.00"}'
check damaged 0 "$r2"$'\n'"$r3"$'\n'"$r5" --folder "$folder" --since 2026-01-01
if [ "$(cat "$work/stderr")" != "journal: 2 damaged lines skipped (--verify names them)" ]; then
  echo "FAIL damaged: standard error '$(cat "$work/stderr")'"; failures=$((failures + 1))
fi
file=$folder/PaylodeJournal-2026.csv
check verify-damaged 1 '{"file":"'$file'","line":4,"problem":"the check field is not 8 hexadecimal digits"}
{"file":"'$file'","line":6,"problem":"the check field does not match the line"}' --folder "$folder" --verify
# paylode.exe under Wine: a folder written the Windows way, with
# backslashes, names its files the same way.
if [ -n "${PAYLODE_TOOL_EXE:-}" ]; then
  windows_folder="Z:${folder//\//\\}"
  json_file=${windows_folder//\\/\\\\}'\\PaylodeJournal-2026.csv'
  check verify-windows-folder 1 '{"file":"'$json_file'","line":4,"problem":"the check field is not 8 hexadecimal digits"}
{"file":"'$json_file'","line":6,"problem":"the check field does not match the line"}' --folder "$windows_folder" --verify
fi
printf 'run,exported\r\n' >"$work/empty/PaylodeJournal-2027.csv"
[ "$(cd "$work/empty" && "$paylode" journal --verify)" = \
  '{"file":"PaylodeJournal-2027.csv","line":1,"problem":"it is not the journal'"'"'s header"}' ] ||
  { echo "FAIL verify-header: not named by its file name in the current folder"; failures=$((failures + 1)); }

# Bad usage: exit status 2 and nothing on standard output.
check sort-code-alone 2 "" --folder "$folder" --sort-code 123456
check account-alone 2 "" --folder "$folder" --account 12345678
check bad-since 2 "" --folder "$folder" --since 2026-13-01
check since-not-a-date 2 "" --folder "$folder" --since yesterday
check verify-and-payments 2 "" --folder "$folder" --verify --payments
check unknown-option 2 "" --folder "$folder" --all
check option-as-value 2 "" --folder --verify
check no-such-folder 2 "" --folder "$work/none"

# ---- paylode reconcile -------------------------------------------------------
# Runs from 123456 12345678: j1 (format 0, processing Wednesday 4 March), j2
# (a bulk list, format 2, Thursday 5 March: its window ends Tuesday 10), j3
# (20 February: its window ends before the statement's first date).
command=reconcile
folder=$work/reconcile
mkdir -p "$folder"
{
  header
  run j1 2026-03-02T09:00:00 123456 12345678 0 2026-03-04 GBP 1 SUPPLIER 654321 87654321 10.00 INV1 INV1
  run j1 2026-03-02T09:00:00 123456 12345678 0 2026-03-04 GBP 2 OTHER 654321 11223344 20.00 INV2 INV2
  run j2 2026-03-03T09:00:00 123456 12345678 2 2026-03-05 GBP 1 A 654321 87654321 5.00 A1 ROLL
  run j2 2026-03-03T09:00:00 123456 12345678 2 2026-03-05 GBP 2 B 654321 11223344 7.50 B1 ROLL
  run j3 2026-02-18T09:00:00 123456 12345678 0 2026-02-20 GBP 1 EARLY 654321 87654321 30.00 INV9 INV9
} >"$folder/PaylodeJournal-2026.csv"
# statement_line DATE DEBIT CREDIT NARRATIVE [ACCOUNT]
statement_line() {
  printf '123456,%s,Operating,Smith,GBP,Current,KELMGB2L,Kelmar Bank,High Street,%s,%s,,,,,BAC,%s,%s\r\n' \
    "${5:-12345678}" "$1" "$4" "$2" "$3"
}
statement=$work/statement.csv
{
  printf 'Sort Code,Account Number,Account Alias,Account Short Name,Currency,Account Type,BIC,Bank Name,Branch Name,Date,Narrative #1,Narrative #2,Narrative #3,Narrative #4,Narrative #5,Type,Debit,Credit\r\n'
  statement_line 02/03/2026 "" 100.00 RECEIPT
  statement_line 05/03/2026 20.00 "" "DIRECT DEBIT"
  statement_line 05/03/2026 20.00 "" "BACS INV2"
  statement_line 09/03/2026 12.50 "" "ROLL"
  statement_line 06/03/2026 10.00 "" "ELSEWHERE" 99999999
  statement_line 13/03/2026 99.00 "" "CHARGES"
} >"$statement"
check reconcile-not-found 1 '{"run":"j1","row":1,"amount":"10.00","statement_line":null}
{"run":"j1","row":2,"amount":"20.00","statement_line":4}
{"run":"j2","row":null,"amount":"12.50","statement_line":5}
{"statement_line":3,"amount":"20.00","unexplained":true}
{"statement_line":7,"amount":"99.00","unexplained":true}
{"found":2,"not_found":1,"unexplained":2}' "$statement" --sort-code 12-34-56 --account 12345678 --folder "$folder"
statement_line 06/03/2026 10.00 "" "INV1" >>"$statement"
[ "$(cd "$folder" && "$paylode" reconcile "$statement" --sort-code 123456 --account 12345678 | tail -1)" = \
  '{"found":3,"not_found":0,"unexplained":2}' ] ||
  { echo "FAIL reconcile-all-found: the current folder's journal, line 8"; failures=$((failures + 1)); }
check reconcile-other-account 0 '{"statement_line":6,"amount":"10.00","unexplained":true}
{"found":0,"not_found":0,"unexplained":1}' "$statement" --sort-code 123456 \
  --account 99999999 --folder "$folder"
# A statement that the import refuses: exit status 3, its sentence, nothing on standard output.
{ head -3 "$statement"; printf 'a,b,c,d,e,f,g,h,i\r\n'; tail -1 "$statement"; } >"$work/refused.csv"
check reconcile-refused 3 "" "$work/refused.csv" --sort-code 123456 --account 12345678 --folder "$folder"
[ "$(cat "$work/stderr")" = "reconcile: Line 4 of $work/refused.csv cannot be read: it has 9 fields; a statement line has at least 14." ] ||
  { echo "FAIL reconcile-refused: standard error '$(cat "$work/stderr")'"; failures=$((failures + 1)); }
printf 'a,b,c\r\n' >"$work/not-a-statement.csv"
check reconcile-not-a-statement 3 "" "$work/not-a-statement.csv" --sort-code 123456 --account 12345678
check reconcile-no-such-statement 3 "" "$work/none.csv" --sort-code 123456 --account 12345678
check reconcile-no-account 2 "" "$statement" --sort-code 123456
check reconcile-no-such-folder 2 "" "$statement" --sort-code 123456 --account 12345678 --folder "$work/none"

[ "$failures" -eq 0 ] && echo "paylode journal and reconcile: all cases pass"
exit $((failures > 0))
