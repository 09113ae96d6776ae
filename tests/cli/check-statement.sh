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
  "statement: 7 lines read, 5 records delivered; stopped: line 7 has fewer than 14 fields; 1 readable line after line 7 not read" \
  "$sample"
check account 0 "$here/statement-account.expected" \
  "statement: 7 lines read, 5 records delivered, 3 for the account; stopped: line 7 has fewer than 14 fields; 1 readable line after line 7 not read" \
  "$sample" --sort-code 12-34-56 --account 12345678
check other-account 0 /dev/null \
  "statement: 7 lines read, 5 records delivered, 0 for the account; stopped: line 7 has fewer than 14 fields; 1 readable line after line 7 not read" \
  "$sample" --sort-code 123456 --account 1234567
missing_expected=$(mktemp)
echo '{"ColumnCount":0,"IsStatementFile":false}' >"$missing_expected"
check missing 1 "$missing_expected" \
  "statement: 0 lines read, 0 records delivered; stopped: $here/no-such-statement.csv could not be opened" \
  "$here/no-such-statement.csv"
check missing-account 1 /dev/null \
  "statement: 0 lines read, 0 records delivered; stopped: $here/no-such-statement.csv could not be opened" \
  "$here/no-such-statement.csv" --sort-code 1 --account 2
not_statement=$(mktemp)
printf 'a,b,c\r\n1,2,3\r\n' >"$not_statement"
echo '{"ColumnCount":3,"IsStatementFile":false}' >"$missing_expected"
check not-a-statement 0 "$missing_expected" \
  "statement: 1 lines read, 0 records delivered; stopped after the header: not a statement file (the header has 3 fields, not 14 or 18)" \
  "$not_statement"
rm -f "$missing_expected" "$not_statement"

# The reader's own report of the lost line gives the summary's figures.
debug=$("$paylode" statement "$sample" --debug-output 2>&1 >/dev/null)
if ! grep -qx 'debug: Statement file: 1 readable line after line 7 not read' <<<"$debug"; then
  echo "FAIL debug-output: no report of the line lost after line 7"; failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] && echo "paylode statement: all cases pass"
exit $((failures > 0))
