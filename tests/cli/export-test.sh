#!/usr/bin/env bash
# paylode export, end to end: the exact bytes of the payment file in each
# format, the bulk list template file and its overwrite rule, the statuses
# file, the exit statuses, and no file at all after an input error.
#   export-test.sh PAYLODE DATA_DIR
set -uo pipefail
paylode=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# in_work SUBCOMMAND EXPECTED_STATUS ARGS...: runs paylode SUBCOMMAND in
# $work, its output in $work/stdout and $work/stderr.
in_work() {
    local subcommand=$1 expected=$2
    shift 2
    (cd "$work" && "$paylode" "$subcommand" "$@" >"$work/stdout" 2>"$work/stderr")
    local status=$?
    [ "$status" = "$expected" ] ||
        fail "$subcommand: exit status $status, expected $expected: $* ($(cat "$work/stderr"))"
}
# run EXPECTED_STATUS ARGS...: paylode export in $work.
run() { in_work export "$@"; }

same() {  # same ACTUAL EXPECTED
    cmp -s "$1" "$2" || { fail "$1 differs from $2"; diff <(cat -A "$2") <(cat -A "$1") | head -20; }
}

cp "$data"/*.csv "$work"/

run 1 batch.csv --format 0 --date 2024-03-05 --today 2024-03-01 --out standard.txt --statuses standard-statuses.txt
same "$work/standard.txt" "$data/standard.txt"
same "$work/standard-statuses.txt" "$data/standard-statuses.txt"
# A payment file that cannot be made pays nobody: every payment is still
# checked, the valid ones are told the batch was rejected (20), the faulty
# one keeps its fault.
run 2 batch.csv --format 0 --date 2024-03-05 --today 2024-03-01 --out no-such-folder/x.txt \
    --statuses rejected-statuses.txt
[ "$(cut -d, -f1-2 "$work/rejected-statuses.txt" | tr '\n' ' ')" = "0,20 1,29 2,20 " ] ||
    fail "statuses after a payment file that cannot be made: $(cat "$work/rejected-statuses.txt")"

run 1 batch.csv --format 1 --date 2024-03-05 --today 2024-03-01 --template "Staff pay" --euro --out template.txt
same "$work/template.txt" "$data/template.txt"

# Bulk list: the template file is written beside the payment file, kept when
# it exists, replaced on request.
mkdir "$work/pay"
run 1 batch.csv --format 2 --date 2024-03-05 --today 2024-03-01 --template staff --reference ben/1 --out pay/bulklist.txt
same "$work/pay/bulklist.txt" "$data/bulklist.txt"
same "$work/pay/STAFF" "$data/STAFF"
printf 'kept\r\n' >"$work/pay/STAFF"
run 1 batch.csv --format 2 --date 2024-03-05 --today 2024-03-01 --template staff --reference ben/1 --out pay/bulklist.txt
[ "$(cat "$work/pay/STAFF")" = $'kept\r' ] || fail "existing template file overwritten"
grep -q "left unchanged" "$work/stderr" || fail "no message about the existing template file"
same "$work/pay/bulklist.txt" "$data/bulklist.txt"
run 1 batch.csv --format 2 --date 2024-03-05 --today 2024-03-01 --template staff --reference ben/1 --out pay/bulklist.txt \
    --overwrite-template
same "$work/pay/STAFF" "$data/STAFF"

run 1 batch.csv --format 3 --date 2024-03-05 --today 2024-03-01 --reference "Ben ref" --out adhoc.txt
same "$work/adhoc.txt" "$data/adhoc.txt"

run 0 good.csv --format 0 --date 2024-12-31 --today 2024-12-20 --out good.txt --statuses good-statuses.txt
same "$work/good.txt" "$data/good.txt"
[ "$(cat "$work/good-statuses.txt")" = '0,0,Payment processed successfully.' ] || fail "statuses of good.csv"

# An empty batch: an empty payment file, no header and no template file.
mkdir "$work/empty"
run 0 empty.csv --format 2 --date 2024-03-05 --today 2024-03-01 --template staff --reference ben --out empty/bulk.txt
[ -f "$work/empty/bulk.txt" ] && [ ! -s "$work/empty/bulk.txt" ] || fail "empty batch, format 2"
[ ! -e "$work/empty/STAFF" ] || fail "template file written for an empty batch"
run 0 empty.csv --format 3 --date 2024-03-05 --today 2024-03-01 --out empty/adhoc.txt
[ -f "$work/empty/adhoc.txt" ] && [ ! -s "$work/empty/adhoc.txt" ] || fail "empty batch, format 3"

# Without the dialog's field rules the values reach the writers as given: a
# name the dialog refuses is sanitised by the writers, and the template file
# is named after the name as given.
run 2 batch.csv --format 1 --date 2024-03-05 --today 2024-03-01 --template "Staff pay!" --euro --out refused.txt
run 1 batch.csv --format 1 --date 2024-03-05 --today 2024-03-01 --template "Staff pay!" --euro --out unfiltered.txt \
    --no-field-check
same "$work/unfiltered.txt" "$data/template.txt"
mkdir "$work/as-given"
run 1 batch.csv --format 2 --date 2024-03-05 --today 2024-03-01 --template staff --reference ben/1 \
    --out as-given/bulklist.txt --no-field-check
same "$work/as-given/bulklist.txt" "$data/bulklist.txt"
same "$work/as-given/staff" "$data/STAFF"
# A template file name must stay beside the payment file.
for name in "" . .. ../staff sub/staff; do
    run 2 batch.csv --format 2 --date 2024-03-05 --today 2024-03-01 --template "$name" --reference ben \
        --out as-given/unsafe.txt --no-field-check
    [ ! -e "$work/as-given/unsafe.txt" ] || fail "template \"$name\": a file was written"
done
[ ! -e "$work/staff" ] && [ ! -e "$work/as-given/sub" ] || fail "a template file was written outside"
# With the field rules or without, a template file is never a folder, a name
# of blanks or a device: status 2, a message, and neither file.
mkdir "$work/plain"
for check in "" --no-field-check; do
    for name in . .. ... ". " "   " nul Con.txt "LPT1 " aux.. COM9 "prn.tar.gz"; do
        run 2 batch.csv --format 2 --date 2024-03-05 --today 2024-03-01 --template "$name" --reference ben \
            --out plain/pay.txt $check
        grep -q -e "--template must" "$work/stderr" || fail "template \"$name\" $check: no message"
        [ -z "$(ls -A "$work/plain")" ] || fail "template \"$name\" $check: wrote $(ls -A "$work/plain")"
    done
done

# An option that takes a value never takes the next option as its value.
run 2 batch.csv --format 0 --date 2024-03-05 --today 2024-03-01 --out swallowed.txt --statuses --no-date-check
run 2 batch.csv --format 0 --date 2024-03-05 --today 2024-03-01 --template --out swallowed.txt
[ ! -e "$work/swallowed.txt" ] && [ ! -e "$work/--no-date-check" ] && [ ! -e "$work/--out" ] ||
    fail "a file was written after an option took the next option as its value"

# A payment file that cannot be written whole: status 2, and the device the
# file was sent to is left as it is. Windows (paylode.exe under Wine) refuses
# a device before writing, as a file that cannot be created.
if [ -c /dev/full ]; then
    run 2 batch.csv --format 0 --date 2024-03-05 --today 2024-03-01 --out /dev/full
    refusal=write
    [ -n "${PAYLODE_TOOL_EXE:-}" ] && refusal=create
    grep -q "cannot $refusal the payment file /dev/full" "$work/stderr" || fail "no message about the failed write"
    [ -c /dev/full ] || fail "/dev/full removed"
fi

# Input and usage errors: status 2, a message naming the line, no file.
for bad in unknown-column:1 unclosed-quote:3 stray-quote:2 short-row:2 not-utf8:2 bad-amount:2; do
    name=${bad%%:*}
    line=${bad##*:}
    run 2 "$name.csv" --format 2 --date 2024-03-05 --today 2024-03-01 --template staff --reference ben --out "$name.txt"
    grep -q "line $line:" "$work/stderr" || fail "$name: no line $line in: $(cat "$work/stderr")"
    [ ! -e "$work/$name.txt" ] && [ ! -e "$work/STAFF" ] || fail "$name: a file was written"
done
run 2 batch.csv --format 0 --date 2024-02-30 --today 2024-02-01 --out bad-date.txt
run 2 batch.csv --format 0 --date 2024-03-09 --today 2024-03-01 --out bad-weekend.txt
grep -q "weekend" "$work/stderr" || fail "no message about the weekend"
# Without the checks the same weekend date gives the same records, dated 09032024.
run 1 batch.csv --format 0 --date 2024-03-09 --today 2024-03-01 --no-date-check --out unchecked.txt
sed 's/05032024/09032024/g' "$data/standard.txt" | cmp -s - "$work/unchecked.txt" ||
    fail "--no-date-check: records differ from the checked run's"
run 2 batch.csv --format 0 --date 2024-03-05 --today 2024-03-06 --out bad-past.txt
run 2 batch.csv --format 4 --date 2024-03-05 --today 2024-03-01 --out bad-format.txt
# export takes the format as one digit, check takes any number from 0 to 3.
run 2 batch.csv --format 03 --date 2024-03-05 --today 2024-03-01 --out bad-format.txt
[ "$(cat "$work/stderr")" = "paylode export: --format must be 0, 1, 2 or 3" ] || fail "export --format 03: $(cat "$work/stderr")"
run 2 batch.csv --format 1 --date 2024-03-05 --today 2024-03-01 --template "a/b" --out bad-template.txt
run 2 batch.csv --format 2 --date 2024-03-05 --today 2024-03-01 --template staff --out no-reference.txt
run 2 batch.csv --format 0 --date 2024-03-05 --today 2024-03-01
for name in bad-date bad-weekend bad-past bad-format bad-template no-reference refused; do
    [ ! -e "$work/$name.txt" ] || fail "$name.txt written after a usage error"
done

# ---- paylode check: the pre-flight report of a batch, nothing written -------------
cat >"$work/preflight.csv" <<'EOF'
amount,payer_sort_code,payer_account_number,payee_sort_code,payee_account_number,payee_account_name,payee_bacs_reference,status
10,12-34-56,12345678,08-99-99,66374958,FIRST,REF1,0
20,12-34-56,12345678,08-99-99,66374959,SECOND,REF2,0
10,12-34-56,12345678,089999,66374958,FIRST AGAIN,REF1,0
30,12-34-56,12345678,99-99-99,1234567,THIRD,REF3,0
10,12-34-56,12345678,08-99-99,66374958,FIRST,REF9,0
EOF
# check EXPECTED_STATUS ARGS...: paylode check in $work.
check() { in_work check "$@"; }
check 1 preflight.csv --format 0
cat >"$work/preflight.expected" <<'EOF'
{"index":0,"code":0,"text":"Payment processed successfully.","account_check":"valid","duplicate_of":null}
{"index":1,"code":0,"text":"Payment processed successfully.","account_check":"invalid","duplicate_of":null}
{"index":2,"code":0,"text":"Payment processed successfully.","account_check":"valid","duplicate_of":0}
{"index":3,"code":29,"text":"Invalid Payee Bank Account Number: the account number must be 8 digits and a numeric value.","account_check":"not checked","duplicate_of":null}
{"index":4,"code":0,"text":"Payment processed successfully.","account_check":"valid","duplicate_of":null}
{"payments":5,"faults":1,"account_failures":1,"duplicates":1,"totals":{"GBP":"80.00"}}
EOF
same "$work/stdout" "$work/preflight.expected"
check 0 good.csv --format 3 --euro
grep -q '"totals":{"EUR":' "$work/stdout" || fail "check --euro: totals not in EUR: $(cat "$work/stdout")"
check 1 preflight.csv --format 0 --human
grep -q "^5 payments, 1 faults, 1 account failures, 1 duplicates; total GBP 80.00$" "$work/stdout" ||
    fail "check --human: no summary: $(cat "$work/stdout")"
check 2 preflight.csv --format 4
grep -qx -- "--format: Value 4 not in range 0 to 3" "$work/stderr" || fail "check --format 4: $(cat "$work/stderr")"
check 1 preflight.csv --format 03
check 2 missing.csv --format 0
check 2 preflight.csv --format 0 --tables /no/such/folder

# --check-accounts warns of each failing payee account before the run and
# changes nothing else.
run 1 preflight.csv --format 0 --date 2024-03-05 --today 2024-03-01 --out checked.txt --check-accounts
[ "$(cat "$work/stderr")" = "payment 1: sort code 08-99-99, account 66374959: invalid (MOD10)" ] ||
    fail "export --check-accounts: $(cat "$work/stderr")"
run 1 preflight.csv --format 0 --date 2024-03-05 --today 2024-03-01 --out unchecked.txt
cmp -s "$work/checked.txt" "$work/unchecked.txt" || fail "export --check-accounts changed the payment file"

[ "$failures" = 0 ] && echo "paylode export: all checks passed"
exit $((failures > 0))
