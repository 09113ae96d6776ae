#!/usr/bin/env bash
# The questions the payment options dialog asks on OK, through paylode-host
# pay and the registered component: a processing date on which the banks are
# closed (though the computed calendar calls it a banking day), and payee
# accounts that fail their modulus check or payments that repeat an earlier
# one. Yes goes on as OK does, and the payment file is what `paylode export`
# writes for the same batch; No leaves the dialog open, and paylode-host then
# cancels it (status 3, no file). A batch with nothing to question, on a day
# not in the table, is asked nothing; nor is any batch when the modulus
# tables are missing.
#
# The component reads its tables from the "modulus" folder beside its own
# DLL, so the program, the DLLs and the tables, with a closures table that
# closes the next crediting date, are copied to a folder of the test's own
# and registered in a Wine prefix of its own.
#   dialog-questions-test.sh WINE_RUN PAYLODE_HOST_EXE PAYLODE_TOOL
set -uo pipefail
bin=$(dirname "$(realpath "$2")")
source "$(dirname "${BASH_SOURCE[0]}")/../support/own-prefix.sh"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Registered from the copy, in place of the build tree's DLLs.
mkdir -p "$work/bin/modulus"
cp "$bin"/paylode-host.exe "$bin"/*.dll "$bin"/*.DLL "$bin"/*.tlb "$work/bin/"
cp "$bin"/modulus/* "$work/bin/modulus/"
printf '# a closure for this test\r\n%s Test closure\r\n' "$date" >"$work/bin/modulus/bank-closures.txt"
host=$work/bin/paylode-host.exe
(cd "$work" && "$wine_run" "$prefix" "$host" register >/dev/null 2>&1) || { echo "FAIL: register the copy"; exit 1; }
# The payment journal in a folder of the test's own, emptied before each
# case, so that only the cases that ask for it find exports before them.
journal=$prefix/drive_c/paylode-journal
"$wine_run" "$prefix" reg add 'HKLM\SOFTWARE\Torvo\Kelmar Bank Paylode' /v JournalFolder /t REG_SZ \
    /d 'C:\paylode-journal' /f /reg:64 >/dev/null 2>&1 || { echo "FAIL: the journal folder cannot be set"; exit 1; }
later=$("$tool" calendar "$date" | sed -n 's/.*"next":"\([0-9-]*\)".*/\1/p')
day=$(LC_ALL=C date -d "$date" '+%A %-d %B %Y')
closed="The bank is closed on $day (Test closure). Payments dated then will not be processed that day. Use this date anyway?"
fails="1 payee account fails the bank's account number check"
repeats="1 payment repeats an earlier one"
anyway=". Export the payment file anyway?"

# The batches: two sound payees (one valid, one at a sort code no rule
# covers), then one payee whose account fails, or the first payment again.
header=amount,payer_sort_code,payer_account_number,payee_sort_code,payee_account_number,payee_account_name,payee_bacs_reference,status
sound=$'10,12-34-56,12345678,08-99-99,66374958,VALID,INV1,0\n20,12-34-56,12345678,99-99-99,12345678,UNCHECKED,INV2,0'
invalid='30,12-34-56,12345678,10-79-99,88837493,INVALID,INV3,0'
again='10,12-34-56,12345678,089999,66374958,AGAIN,INV1,0'
printf '%s\n%s\n' "$header" "$sound" >"$work/sound.csv"
printf '%s\n%s\n%s\n' "$header" "$sound" "$invalid" >"$work/invalid.csv"
printf '%s\n%s\n%s\n' "$header" "$sound" "$again" >"$work/repeat.csv"
printf '%s\n%s\n%s\n%s\n' "$header" "$sound" "$invalid" "$again" >"$work/both.csv"

# case NAME BATCH DATE ANSWER QUESTION [PAY ARGS...]: paylode-host pay of
# BATCH on DATE in $work; QUESTION asked and answered ANSWER (yes or no), or
# none asked when QUESTION is empty.
case_() {
    local name=$1 batch=$2 day=$3 answer=$4 question=$5 status expected=0 button=Yes
    shift 5
    [ -n "${KEEP_JOURNAL:-}" ] || rm -rf "$journal"
    [ "$answer" = no ] && expected=3 button=No
    (cd "$work" && PAYLODE_STDERR="$work/$name.err" timeout 120 "$wine_run" "$prefix" "$host" pay "$batch.csv" \
        --format 0 --date "$day" --out "$name.txt" "$@" >/dev/null)
    status=$?
    [ "$status" = "$expected" ] || fail "$name: exit status $status, expected $expected ($(tail -2 "$work/$name.err"))"
    local boxes
    boxes=$(grep 'message box' "$work/$name.err")
    if [ -z "$question" ]; then
        [ -z "$boxes" ] || fail "$name: asked: $boxes"
    elif ! grep -qxF "message box \"Torvo Kelmar Bank Paylode\" ($button): $question" <<<"$boxes"; then
        fail "$name: not asked \"$question\" and answered $button: $boxes"
    fi
    if [ "$answer" = no ]; then
        [ ! -e "$work/$name.txt" ] || fail "$name: a payment file was written"
    elif ! (cd "$work" && "$tool" export "$batch.csv" --format 0 --date "$day" --out "$name.expected" >/dev/null) ||
        ! cmp -s "$work/$name.expected" "$work/$name.txt"; then
        fail "$name: the payment file is not what paylode export writes"
    fi
}
case_ nothing sound "$later" yes ""
case_ closed-yes sound "$date" yes "$closed"
case_ closed-no sound "$date" no "$closed" --closed-date-warning no
case_ invalid-yes invalid "$later" yes "$fails$anyway"
case_ invalid-no invalid "$later" no "$fails$anyway" --account-warning no
case_ repeat-yes repeat "$later" yes "$repeats$anyway"
case_ repeat-no repeat "$later" no "$repeats$anyway" --account-warning no
case_ both-yes both "$later" yes "$fails and $repeats$anyway"
case_ both-no both "$later" no "$fails and $repeats$anyway" --account-warning no
# A batch exported before from the same paying account is asked about;
# payments of other amounts are not. A journal that cannot be read is said
# on OK.
today=$(LC_ALL=C date '+%-d %B %Y')
exported="2 payments were exported before (the latest on $today)"
sed 's/^\(10\|20\),/\1.01,/' "$work/sound.csv" >"$work/other-amounts.csv"
case_ first-export sound "$later" yes ""
KEEP_JOURNAL=1 case_ exported-again-no sound "$later" no "$exported$anyway" --account-warning no
KEEP_JOURNAL=1 case_ exported-again-yes sound "$later" yes "$exported$anyway"
KEEP_JOURNAL=1 case_ other-amounts other-amounts "$later" yes ""
rm -rf "$journal" && mkdir -p "$journal/PaylodeJournal-$(date +%Y).csv"
KEEP_JOURNAL=1 case_ unreadable-journal sound "$later" yes \
    "Earlier exports could not be checked: the payment journal cannot be read$anyway"
# Without its weight table the component checks no account: nothing is
# asked, and the run goes on.
rm "$work"/bin/modulus/valacdos*.txt
case_ no-tables invalid "$later" yes ""
(cd "$work" && "$wine_run" "$prefix" "$host" unregister >/dev/null 2>&1)
[ "$failures" = 0 ] || exit 1
echo "the dialog asks about closed dates, failing accounts, repeats and payments exported before; Yes goes on, No cancels, nothing else is asked"
