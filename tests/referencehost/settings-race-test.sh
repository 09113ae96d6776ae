#!/usr/bin/env bash
# Many users on one machine: RUNS paylode-host pay runs at once under Wine
# (default 16), each with its own paying account, template name and
# reference, against the one BANKSERV.INI of a Wine prefix of their own (one
# machine). Wine ties a prefix's windows to one X display, where dialogs of
# several programs keep each other from being activated; so each run has a
# virtual desktop of its own (explorer /desktop). The file starts with
# another component's keys.
# Afterwards each account's keys must hold that run's values and no key may
# be lost; and the runs share one payment journal, in a folder the machine's
# registry names, which must hold every payment of every run, each run's
# lines together, and no damaged line.
#   settings-race-test.sh WINE_RUN PAYLODE_HOST_EXE PAYLODE_TOOL [RUNS]
set -uo pipefail
runs=${4:-16}
source "$(dirname "${BASH_SOURCE[0]}")/../support/own-prefix.sh"
settings="$prefix/drive_c/ProgramData/TORVO/Torvo EBanking/BANKSERV.INI"
printf '[MIGRATED]\r\nOtherComponent=kept\r\n[Other]\r\nKey=kept too\r\n' >"$settings"
journal=$prefix/drive_c/paylode-journal
"$wine_run" "$prefix" reg add 'HKLM\SOFTWARE\Torvo\Kelmar Bank Paylode' /v JournalFolder /t REG_SZ \
    /d 'C:\paylode-journal' /f /reg:64 >/dev/null 2>&1 || { echo "FAIL: the journal folder cannot be set"; exit 1; }

pids=()
for i in $(seq 1 "$runs"); do
    mkdir -p "$work/run-$i"
    cat >"$work/run-$i/batch.csv" <<CSV
amount,payer_sort_code,payer_account_number,payee_sort_code,payee_account_number,payee_account_name,payee_bacs_reference,status
10,12-34-56,$((10000000 + i)),65-43-21,87654321,PAYEE,REF,0
11,12-34-56,$((10000000 + i)),65-43-21,87654321,PAYEE,REF,0
12,12-34-56,$((10000000 + i)),65-43-21,87654321,PAYEE,REF,0
CSV
    (cd "$work/run-$i" && PAYLODE_STDERR="$work/run-$i/err" timeout 300 "$wine_run" "$prefix" \
        explorer "/desktop=run$i,800x600" "$host" pay batch.csv --format 2 --date "$date" --out pay.txt --account "12-34-56:$((10000000 + i))" \
        --template "T$i" --reference "R$i" $([ $((i % 2)) = 1 ] && echo --euro) >/dev/null
     echo $? >"$work/run-$i/status") &
    pids+=($!)
done
wait "${pids[@]}"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# value KEY: the value of KEY in the file, CR removed.
value() { tr -d '\r' <"$settings" | sed -n "s/^$1=//p"; }
lost=0
for i in $(seq 1 "$runs"); do
    [ "$(cat "$work/run-$i/status")" = 0 ] || fail "run $i exited $(cat "$work/run-$i/status"): $(tail -2 "$work/run-$i/err")"
    suffix=123456_$((10000000 + i))
    for pair in "KelmarPaylodeTemplate$suffix=T$i" "KelmarPaylodeBenRef$suffix=R$i"; do
        [ "$(value "${pair%%=*}")" = "${pair#*=}" ] || { lost=$((lost + 1)); fail "run $i: ${pair%%=*} is '$(value "${pair%%=*}")'"; }
    done
done
[ "$(value OtherComponent)" = kept ] || { lost=$((lost + 1)); fail "another component's key was lost"; }
[ "$(value Key)" = "kept too" ] || { lost=$((lost + 1)); fail "another section's key was lost"; }
case $(value RICheckState) in TRUE | FALSE) ;; *) lost=$((lost + 1)); fail "RICheckState is '$(value RICheckState)'" ;; esac
echo "$runs runs at once: $lost of $((2 * runs + 3)) keys lost or wrong"

# The journal: "RUN ROW PAYER_ACCOUNT AMOUNT" per payment, in journal order.
"$tool" journal --folder "$journal" --verify >"$work/damaged" || fail "damaged journal lines: $(head -3 "$work/damaged")"
"$tool" journal --folder "$journal" --payments | jq -r '"\(.run) \(.row) \(.payer_account_number) \(.amount)"' >"$work/lines"
[ "$(wc -l <"$work/lines")" = $((3 * runs)) ] || fail "the journal holds $(wc -l <"$work/lines") payments, not $((3 * runs))"
# Each run's three lines in a row, in batch order, under one paying account.
[ "$(cut -d' ' -f1 "$work/lines" | uniq | wc -l)" = "$runs" ] || fail "runs' lines are interleaved or missing"
awk '{ n[$1]++; if ($2 != n[$1] || $4 != 9 + n[$1] ".00") bad = 1; acct[$1] = acct[$1] " " $3 }
     END { for (r in n) { if (n[r] != 3) bad = 1; split(acct[r], a, " "); if (a[1] != a[2] || a[2] != a[3]) bad = 1 }
           exit bad }' "$work/lines" || fail "a run's lines are out of order or mixed: $(head -6 "$work/lines")"
[ "$(cut -d' ' -f3 "$work/lines" | sort -u | wc -l)" = "$runs" ] || fail "not every paying account is in the journal"
[ "$failures" = 0 ] || exit 1
echo "every run's keys are in the settings file, and nothing else was lost"
echo "every run's $((3 * runs)) payments are in the journal, each run's lines together"
