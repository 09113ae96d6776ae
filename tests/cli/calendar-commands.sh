#!/usr/bin/env bash
# The `paylode calendar` and `paylode check-date` subcommands on known dates,
# and `paylode check-account` on known accounts: standard output and exit
# status compared exactly.
#   calendar-commands.sh PATH-TO-PAYLODE
set -u
paylode=$1
failures=0

# expect STATUS EXPECTED-STDOUT ARGS...
expect() {
  local status=$1 expected=$2
  shift 2
  local actual rc=0
  actual=$("$paylode" "$@" 2>/dev/null) || rc=$?
  if [ "$rc" != "$status" ] || [ "$actual" != "$expected" ]; then
    echo "FAILED: paylode $*"
    echo "  expected status $status, output:"; printf '%s\n' "$expected" | sed 's/^/    /'
    echo "  got status $rc, output:"; printf '%s\n' "$actual" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
}

# Christmas 2020 (Friday) from the Wednesday before.
expect 0 '{"date":"2020-12-23","banking":true,"reason":0,"days":0,"next":"2020-12-29"}
{"date":"2020-12-24","banking":true,"reason":0,"days":0,"next":"2020-12-30"}
{"date":"2020-12-25","banking":false,"reason":1,"days":4,"next":"2020-12-30"}
{"date":"2020-12-26","banking":false,"reason":2,"days":3,"next":"2020-12-30"}
{"date":"2020-12-27","banking":false,"reason":2,"days":2,"next":"2020-12-30"}
{"date":"2020-12-28","banking":false,"reason":1,"days":1,"next":"2020-12-30"}
{"date":"2020-12-29","banking":true,"reason":0,"days":0,"next":"2020-12-31"}' calendar 2020-12-23 2020-12-29

# Easter 2024: Good Friday to Easter Monday.
expect 0 '{"date":"2024-03-29","banking":false,"reason":1,"days":4,"next":"2024-04-03"}
{"date":"2024-03-30","banking":false,"reason":2,"days":2,"next":"2024-04-03"}
{"date":"2024-03-31","banking":false,"reason":2,"days":1,"next":"2024-04-03"}
{"date":"2024-04-01","banking":false,"reason":1,"days":1,"next":"2024-04-03"}' calendar 2024-03-29 2024-04-01

# One day alone; New Year on a Saturday.
expect 0 '{"date":"2022-01-01","banking":false,"reason":1,"days":3,"next":"2022-01-05"}' calendar 2022-01-01
expect 0 '{"date":"2024-05-27","banking":false,"reason":1,"days":1,"next":"2024-05-29"}' calendar 2024-05-27 2024-05-27

# Days the banks are closed beyond the computed rules: still banking days by
# the rules, with the reason from the table of bank closures.
expect 0 '{"date":"2022-09-19","banking":true,"reason":0,"days":0,"next":"2022-09-21","closed":"Bank holiday for the State Funeral of the Queen"}' \
  calendar 2022-09-19
expect 0 '{"ok":true,"closed":"New Year'"'"'s Day, substitute day"}' check-date 2028-01-03 --today 2027-12-20

# Processing dates against a given today (Wednesday 12 June 2024).
expect 0 '{"ok":true}' check-date 2024-06-12 --today 2024-06-12
expect 0 '{"ok":true}' check-date 2024-07-26 --today 2024-06-12
expect 1 '{"ok":false,"caption":"Invalid Banking Date Specified","text":"The processing date you specify for payments MUST be on or after the current system date."}' \
  check-date 2024-06-11 --today 2024-06-12
expect 1 '{"ok":false,"caption":"Non-Banking Date Specified","text":"The date you specified falls on a weekend. Try advancing the date \r\n2 days to the next likely Banking Day."}' \
  check-date 2024-06-15 --today 2024-06-12
expect 1 '{"ok":false,"caption":"Non-Banking Date Specified","text":"The date you specified falls on a weekend. Try advancing the date \r\n1 day to the next likely Banking Day."}' \
  check-date 2024-06-16 --today 2024-06-12
expect 1 '{"ok":false,"caption":"Non-Banking Date Specified","text":"The date you specified falls on a Bank holiday. Try advancing the date \r\n4 days to the next likely Banking Day."}' \
  check-date 2024-03-29 --today 2024-03-01
# Today + 45 on a Saturday is refused as a weekend, not as too far; Monday 29
# July is today + 46 from 13 June and today + 45 from 14 June.
expect 1 '{"ok":false,"caption":"Non-Banking Date Specified","text":"The date you specified falls on a weekend. Try advancing the date \r\n2 days to the next likely Banking Day."}' \
  check-date 2024-07-27 --today 2024-06-12
expect 1 '{"ok":false,"caption":"Invalid Processing Date Specified","text":"The processing date specified is too far in the future.\rProcessing dates can be at most 45 days after today'"'"'s date."}' \
  check-date 2024-07-29 --today 2024-06-13
expect 0 '{"ok":true}' check-date 2024-07-29 --today 2024-06-14

# Without --today, today is the machine's local date.
expect 1 '{"ok":false,"caption":"Invalid Banking Date Specified","text":"The processing date you specify for payments MUST be on or after the current system date."}' \
  check-date 2000-01-04
local_today=$(date +%F)
expect "$("$paylode" check-date "$local_today" --today "$local_today" >/dev/null 2>&1; echo $?)" \
  "$("$paylode" check-date "$local_today" --today "$local_today" 2>/dev/null)" check-date "$local_today"

# Bad arguments: the usage status (2), nothing on standard output.
expect 2 '' calendar 2024-02-30
expect 2 '' calendar 24-01-01
expect 2 '' calendar 2024-01-02 2024-01-01
expect 2 '' calendar 1899-12-31
expect 2 '' check-date 2024-13-01
expect 2 '' check-date 2024-06-12 --today yesterday
expect 2 '' check-date

# check-account: one JSON line per account, each check applied named;
# exit 0 for valid or not checked, 1 for invalid or bad format, 2 for usage.
expect 0 '{"sort_code":"089999","account_number":"66374958","result":"valid","checks":[{"method":"MOD10","exception":0,"outcome":"pass"}]}' check-account 08-99-99 66374958
expect 1 '{"sort_code":"089999","account_number":"66374959","result":"invalid","checks":[{"method":"MOD10","exception":0,"outcome":"fail"}]}' check-account 089999 66374959
expect 0 '{"sort_code":"999999","account_number":"12345678","result":"not checked","checks":[]}' check-account 999999 12345678
expect 1 '{"sort_code":"123456","account_number":"1234","result":"bad format","checks":[]}' check-account 12-34-56 1234
expect 2 '' check-account 089999
expect 2 '' check-account 089999 66374958 --tables /no/such/folder

if [ "$failures" -ne 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all cases passed"
