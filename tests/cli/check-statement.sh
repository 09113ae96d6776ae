#!/usr/bin/env bash
# Runs `paylode statement` on the sample statement in this folder and compares
# its output, exit status and summary line with what is expected.
#   check-statement.sh PAYLODE
set -uo pipefail
paylode=$1
here=$(cd "$(dirname "$0")" && pwd)
sample=$here/sample-statement.csv
failures=0

# check NAME EXPECTED_STATUS EXPECTED_STDOUT_FILE EXPECTED_SUMMARY ARGS...
check() {
  local name=$1 status=$2 expected=$3 summary=$4
  shift 4
  local out err actual
  out=$(mktemp) err=$(mktemp)
  "$paylode" statement "$@" >"$out" 2>"$err"
  actual=$?
  if [ "$actual" != "$status" ]; then
    echo "FAIL $name: exit status $actual, expected $status"; failures=$((failures + 1))
  fi
  if ! diff -u "$expected" "$out"; then
    echo "FAIL $name: standard output differs"; failures=$((failures + 1))
  fi
  if [ "$(tail -n 1 "$err")" != "$summary" ]; then
    echo "FAIL $name: summary line '$(tail -n 1 "$err")', expected '$summary'"; failures=$((failures + 1))
  fi
  rm -f "$out" "$err"
}

check records 0 "$here/statement-records.expected" \
  "statement: 7 lines read, 6 records delivered; stopped: end of the file" \
  "$sample"
check account 0 "$here/statement-account.expected" \
  "statement: 7 lines read, 6 records delivered, 4 for the account; stopped: end of the file" \
  "$sample" --sort-code 12-34-56 --account 12345678
check other-account 0 /dev/null \
  "statement: 7 lines read, 6 records delivered, 0 for the account; stopped: end of the file" \
  "$sample" --sort-code 123456 --account 1234567
missing_expected=$(mktemp)
echo '{"ColumnCount":0,"IsStatementFile":false}' >"$missing_expected"
check missing 1 "$missing_expected" \
  "statement: $here/no-such-statement.csv cannot be opened." \
  "$here/no-such-statement.csv"
check missing-account 1 /dev/null \
  "statement: $here/no-such-statement.csv cannot be opened." \
  "$here/no-such-statement.csv" --sort-code 1 --account 2
not_statement=$(mktemp)
printf 'a,b,c\r\n1,2,3\r\n' >"$not_statement"
echo '{"ColumnCount":3,"IsStatementFile":false}' >"$missing_expected"
check not-a-statement 1 "$missing_expected" \
  "statement: $not_statement is not a statement file: its header has 3 fields; a statement's header has 14 or 18." \
  "$not_statement"
check not-a-statement-account 1 /dev/null \
  "statement: $not_statement is not a statement file: its header has 3 fields; a statement's header has 14 or 18." \
  "$not_statement" --sort-code 12-34-56 --account 12345678

# A blank line after the first record, readable lines after it: the import
# refuses the file, so nothing is printed for the account; the records up
# to the blank line are printed without one.
gap=$(mktemp)
{ head -n 2 "$sample"; printf '\r\n'; tail -n +3 "$sample"; } >"$gap"
head -n 2 "$here/statement-records.expected" >"$missing_expected"
for lines in "$missing_expected" /dev/null; do
  [ "$lines" = /dev/null ] && set -- --sort-code 12-34-56 --account 12345678 || set --
  check "blank-line $*" 1 "$lines" \
    "statement: Line 3 of $gap cannot be read: it is empty; a statement line has at least 14 fields." "$gap" "$@"
done
# The reader's own report of the lost lines gives the same figures.
debug=$("$paylode" statement "$gap" --debug-output 2>&1 >/dev/null)
if ! grep -qx 'debug: Statement file: 5 readable lines after line 3 not read' <<<"$debug"; then
  echo "FAIL debug-output: no report of the lines lost after line 3"; failures=$((failures + 1))
fi
# A NUL inside a line: cut there, the line would read as another one (a
# transaction of type "N2" without an amount); the import refuses the file.
nul=$(mktemp)
{ head -n 1 "$sample"; printf '123456,12345678,A,S,GBP,C,BIC,Bank,Branch,01/02/2006,N1,N2,N3,N\0004,N5,DD,25.00,\r\n'; } >"$nul"
check nul-account 1 /dev/null "statement: Line 2 of $nul cannot be read: it holds a NUL character." \
  "$nul" --sort-code 12-34-56 --account 12345678
# A pipe or a device is refused without being read: reading would wait for ever.
fifo=$(mktemp -u)
mkfifo "$fifo"
echo '{"ColumnCount":0,"IsStatementFile":false}' >"$missing_expected"
for device in "$fifo" /dev/null; do
  check "device $device" 1 "$missing_expected" \
    "statement: $device is a device or a pipe, not a statement file." "$device"
done
rm -f "$missing_expected" "$not_statement" "$gap" "$nul" "$fifo"

[ "$failures" -eq 0 ] && echo "paylode statement: all cases pass"
exit $((failures > 0))
