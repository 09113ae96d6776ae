#!/usr/bin/env bash
# The payment options dialog asks before it takes a processing date on which
# the banks are closed, though the computed calendar calls it a banking day.
# The component reads its table of closures from the "modulus" folder beside
# its own DLL, so the program, the DLLs and a table that closes the next
# crediting date are copied to a folder of the test's own and registered in
# a Wine prefix of its own. Yes goes on as OK does (the file is written); No
# leaves the dialog open, and paylode-host then cancels it (status 3, no
# file). A date not in the table is never asked about.
#   closed-date-test.sh WINE_RUN PAYLODE_HOST_EXE PAYLODE_TOOL
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
day=$(LC_ALL=C date -d "$date" '+%A %-d %B %Y')
question="The bank is closed on $day (Test closure). Payments dated then will not be processed that day. Use this date anyway?"
printf 'amount,payer_sort_code,payer_account_number,payee_sort_code,payee_account_number,payee_account_name,payee_bacs_reference,status\n10,12-34-56,12345678,65-43-21,87654321,PAYEE,REF,0\n' >"$work/batch.csv"

# pay NAME EXPECTED_STATUS ARGS...: paylode-host pay in $work, standard
# error in $work/NAME.err.
pay() {
    local name=$1 expected=$2 status
    shift 2
    rm -f "$work/$name.txt"
    (cd "$work" && PAYLODE_STDERR="$work/$name.err" timeout 120 "$wine_run" "$prefix" "$host" pay batch.csv \
        --format 0 --out "$name.txt" "$@" >/dev/null)
    status=$?
    [ "$status" = "$expected" ] || fail "$name: exit status $status, expected $expected ($(tail -2 "$work/$name.err"))"
}
pay yes 0 --date "$date"
grep -qF "message box \"Torvo Kelmar Bank Paylode\" (Yes): $question" "$work/yes.err" ||
    fail "yes: the question was not asked as expected: $(grep 'message box' "$work/yes.err")"
[ -s "$work/yes.txt" ] || fail "yes: no payment file"
pay no 3 --date "$date" --closed-date-warning no
grep -qF "message box \"Torvo Kelmar Bank Paylode\" (No): $question" "$work/no.err" ||
    fail "no: the question was not answered No: $(grep 'message box' "$work/no.err")"
[ ! -e "$work/no.txt" ] || fail "no: a payment file was written"
later=$("$tool" calendar "$date" | sed -n 's/.*"next":"\([0-9-]*\)".*/\1/p')
pay other 0 --date "$later" --closed-date-warning no
! grep -q "The bank is closed" "$work/other.err" || fail "other: a date not in the table was asked about"
(cd "$work" && "$wine_run" "$prefix" "$host" unregister >/dev/null 2>&1)
[ "$failures" = 0 ] || exit 1
echo "the dialog asks about a closed date; Yes goes on, No cancels, other dates pass"
