#!/usr/bin/env bash
# The fault campaign: every call that the component makes on a host object
# fails in turn, one run each, through paylode-host's --fail-call N. For the
# payment run in all four formats and for the statement import, a fault-free
# run counts the calls C; then for every N from 1 to C:
#   - the program ends with a documented exit status and the outcome line
#     is the last line of standard error, after the host call line;
#   - the component holds no reference on a host object afterwards;
#   - every run starts with an old payment file (and template file) in its
#     folder: pay 0 or 1 left exactly the fault-free payment file, 2, 3 or
#     100 exactly the old one; the template file is either the old or the
#     fault-free one; nothing else is left in the folder (no "~paylode-"
#     file either);
#   - import 0 left exactly the fault-free transactions on the statement,
#     1 or 100 none (the statement is emptied when the additions had begun);
#   - a bulk list run, and one whose payment folder does not exist, start
#     with every payment's status at 7: a run that put no payment file in
#     place (2 or 100) leaves no payment at 0, "processed successfully",
#     but the one whose status the host refused to change from 0.
#   fault-campaign.sh WINE_RUN PAYLODE_HOST_EXE PAYLODE_TOOL
# PAYLODE_TOOL is the native `paylode` (for a processing date the dialog
# accepts today). PAYLODE_CAMPAIGN_JOBS runs that many faulted runs at once
# (default 2), each in a Wine prefix and on an X display of its own: two
# programs showing dialogs in one prefix or on one display can keep each
# other's windows from being activated, which stalls the drivers. Each
# prefix is a fresh one in the work folder, with the component registered,
# so that the campaign runs beside the tests of the build tree's prefix.
set -uo pipefail
wine_run=$1
host=$2
tool=$3
jobs=${PAYLODE_CAMPAIGN_JOBS:-2}
work=$(mktemp -d)
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
cleanup() {
    local slot
    for slot in $(seq 0 $((jobs - 1))); do
        [ -d "$work/slot-$slot/prefix" ] && WINEPREFIX=$work/slot-$slot/prefix wineserver -k >/dev/null 2>&1
    done
    stop_displays
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "${BASH_SOURCE[0]}")/../support/needs.sh"
needs "$tool" "the native paylode tool: build the native preset"
date=$("$tool" calendar "$(date +%F)" | sed -n 's/.*"next":"\([0-9-]*\)".*/\1/p')
[ -n "$date" ] || { echo "FAIL: no processing date from paylode calendar"; exit 1; }

# run DIR ARGS...: paylode-host in DIR (made afresh); its exit status in
# DIR/status, standard output in DIR/out, standard error in DIR/err. A run
# that does not end within a minute is run once more and noted in
# DIR/retried: a stall of Wine's own passes the second time, while a hang
# that the fault causes comes again and fails (exit status 124).
# The run takes the prefix and display of its xargs slot (PAYLODE_SLOT).
run() {
    local dir=$1 attempt status slot=${PAYLODE_SLOT:-0} run_prefix run_display
    shift
    run_prefix=$work/slot-$slot/prefix
    run_display=$(cat "$work/slot-$slot/display")
    for attempt in 1 2; do
        rm -rf "$dir" && mkdir -p "$dir" && cp "$work"/*.csv "$work"/old/* "$dir"/
        (cd "$dir" && DISPLAY=$run_display PAYLODE_STDERR="$dir/err" timeout 60 "$wine_run" "$run_prefix" "$host" "$@" >"$dir/out")
        status=$?
        [ "$status" = 124 ] && [ "$attempt" = 1 ] && continue
        break
    done
    echo "$status" >"$dir/status"
    [ "$attempt" = 1 ] || echo "$*" >"$dir/retried"
}
export -f run
export wine_run host work

for slot in $(seq 0 $((jobs - 1))); do
    mkdir -p "$work/slot-$slot"
    new_display display
    echo "$display" >"$work/slot-$slot/display"
    (cd "$work" && DISPLAY=$display "$wine_run" "$work/slot-$slot/prefix" "$host" register >/dev/null 2>&1) ||
        { echo "FAIL: register in the prefix of slot $slot"; exit 1; }
done

mkdir "$work/old"
printf 'OLD PAYMENT FILE\r\n' >"$work/old/pay.txt"
printf 'OLD TEMPLATE\r\n' >"$work/old/CAMP"
cat >"$work/batch.csv" <<'EOF'
amount,payer_sort_code,payer_account_number,payee_sort_code,payee_account_number,payee_account_name,payee_bacs_reference,status
10,12-34-56,12345678,65-43-21,87654321,FIRST,REF1,0
20.5,12-34-56,12345678,11-22-33,11223344,SECOND,REF2,0
30,12-34-56,12345678,22-33-44,2233445,THIRD,REF3,0
EOF
sed '2,$s/,0$/,7/' "$work/batch.csv" >"$work/marked.csv"
cat >"$work/statement.csv" <<'EOF'
Sort Code,Account Number,Account Alias,Account Short Name,Currency,Account Type,BIC,Bank Name,Branch Name,Date,Narrative #1,Type,Debit,Credit
123456,12345678,A,Ours,GBP,Current,,Bank,Branch,01/02/2026,RENT,DD,100.00,
654321,87654321,B,Theirs,GBP,Current,,Bank,Branch,01/02/2026,OTHER,DD,5.00,
123456,12345678,A,Ours,GBP,Current,,Bank,Branch,02/02/2026,SALES,CR,,250.10
123456,12345678,A,Ours,GBP,Current,,Bank,Branch,03/02/2026,100234,CHQ,75.00,
EOF

failures=0
runs=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The line before the last of standard error gives the calls and the
# references held; the last is the outcome.
calls_of() { sed -n 's/^paylode-host [a-z]*: host calls: \([0-9]*\), host references held after the call: [0-9-]*$/\1/p' "$1"; }
references_of() { sed -n 's/^paylode-host [a-z]*: host calls: [0-9]*, host references held after the call: \([0-9-]*\)$/\1/p' "$1"; }

# check_ending NAME DIR COMMAND OPERATION STATUSES...
check_ending() {
    local name=$1 dir=$2 command=$3 operation=$4
    shift 4
    local status
    status=$(cat "$dir/status")
    [[ " $* " == *" $status "* ]] || { fail "$name: exit status $status ($(tail -2 "$dir/err"))"; return 1; }
    local last before
    last=$(tail -1 "$dir/err")
    before=$(tail -2 "$dir/err" | head -1)
    [[ $last == "paylode-host $command: status value "*", $operation returned "* ]] ||
        fail "$name: the outcome is not the last line: $last"
    [[ $before == "paylode-host $command: host calls: "* ]] || fail "$name: no host call line before the outcome: $before"
    [ "$(references_of "$dir/err")" = 0 ] || fail "$name: host references held after the call: $(references_of "$dir/err")"
    return 0
}

# check_no_success NAME DIR: after a run that put no payment file in place,
# no payment of the marked batch (every status 7) is left at 0 but the one
# whose change the host refused.
check_no_success() {
    local status zeros
    status=$(cat "$2/status")
    [ "$status" = 2 ] || [ "$status" = 100 ] || return 0
    zeros=$(awk -F, '$2 == 0' "$2/out" | wc -l)
    [ "$zeros" -le 1 ] || fail "$1: exit $status left $zeros payments at 0 without a payment file"
}

# ---- the payment run, every format ---------------------------------------------
# The bulk list run pays the marked batch and prints every status.
for format in 0 1 2 3 missing; do
    batch=batch.csv
    options=(--format "$format" --date "$date" --out pay.txt --statuses)
    case $format in
    0) options+=(--iat 0,2) ;;
    1) options+=(--iat 1 --template "Camp T1") ;;
    2) batch=marked.csv options+=(--template "Camp" --reference "Ben 1" --overwrite-template yes) ;;
    3) options+=(--reference "Ben 2") ;;
    missing) batch=marked.csv options=(--format 2 --date "$date" --out missing/pay.txt --template "Camp"
        --reference "Ben 1" --overwrite-template yes --statuses) ;;
    esac
    clean="$work/pay-$format-clean"
    run "$clean" pay "$batch" "${options[@]}"
    if [ "$format" = missing ]; then
        check_ending "pay to a missing folder, fault-free" "$clean" pay ProcessPayments 2 || continue
        check_no_success "pay to a missing folder, fault-free" "$clean"
        count=$(calls_of "$clean/err")
        echo "pay to a missing folder: $count host calls, exit status $(cat "$clean/status")"
        seq 1 "$count" | xargs -P "$jobs" --process-slot-var=PAYLODE_SLOT -I{} bash -c \
            'run "$work/pay-missing-{}" pay marked.csv "$@" --fail-call {}' _ "${options[@]}"
        for n in $(seq 1 "$count"); do
            dir="$work/pay-missing-$n"
            runs=$((runs + 1))
            check_ending "pay to a missing folder --fail-call $n" "$dir" pay ProcessPayments 2 3 100 || continue
            check_no_success "pay to a missing folder --fail-call $n" "$dir"
            [ ! -e "$dir/missing" ] || fail "pay to a missing folder --fail-call $n: the folder was made"
        done
        continue
    fi
    check_ending "pay $format fault-free" "$clean" pay ProcessPayments 0 1 || continue
    cmp -s "$clean/pay.txt" "$work/old/pay.txt" && { fail "pay $format fault-free: the old payment file is left"; continue; }
    [ "$format" != 2 ] || ! cmp -s "$clean/CAMP" "$work/old/CAMP" || { fail "pay 2 fault-free: the old template file is left"; continue; }
    count=$(calls_of "$clean/err")
    echo "pay format $format: $count host calls, exit status $(cat "$clean/status")"
    seq 1 "$count" | xargs -P "$jobs" --process-slot-var=PAYLODE_SLOT -I{} bash -c 'run "$work/pay-'"$format"'-{}" pay '"$batch"' "$@" --fail-call {}' _ \
        "${options[@]}"
    for n in $(seq 1 "$count"); do
        dir="$work/pay-$format-$n"
        runs=$((runs + 1))
        check_ending "pay $format --fail-call $n" "$dir" pay ProcessPayments 0 1 2 3 100 || continue
        [ "$format" != 2 ] || check_no_success "pay 2 --fail-call $n" "$dir"
        status=$(cat "$dir/status")
        case $status in
        0 | 1) expected=$clean/pay.txt ;;
        *) expected=$work/old/pay.txt ;;
        esac
        cmp -s "$dir/pay.txt" "$expected" ||
            fail "pay $format --fail-call $n: exit $status left another payment file than $expected"
        # The run goes on without a template file it could not write whole.
        cmp -s "$dir/CAMP" "$work/old/CAMP" || cmp -s "$dir/CAMP" "$clean/CAMP" ||
            fail "pay $format --fail-call $n: exit $status left a template file neither old nor fault-free"
        other=$(ls -A "$dir" | grep -vx -e batch.csv -e marked.csv -e statement.csv -e pay.txt -e CAMP -e out -e err -e status -e retried)
        [ -z "$other" ] || fail "pay $format --fail-call $n: left $(echo $other)"
    done
done

# ---- the statement import --------------------------------------------------------
clean="$work/import-clean"
run "$clean" import statement.csv --account 12-34-56:12345678
if check_ending "import fault-free" "$clean" import ImportStatement 0; then
    [ "$(wc -l <"$clean/out")" = 3 ] || fail "import fault-free: $(wc -l <"$clean/out") transactions, expected 3"
    count=$(calls_of "$clean/err")
    echo "import: $count host calls"
    seq 1 "$count" | xargs -P "$jobs" --process-slot-var=PAYLODE_SLOT -I{} bash -c \
        'run "$work/import-{}" import statement.csv --account 12-34-56:12345678 --fail-call {}'
    for n in $(seq 1 "$count"); do
        dir="$work/import-$n"
        runs=$((runs + 1))
        check_ending "import --fail-call $n" "$dir" import ImportStatement 0 1 100 || continue
        status=$(cat "$dir/status")
        case $status in
        0) cmp -s "$dir/out" "$clean/out" || fail "import --fail-call $n: exit 0 with other transactions" ;;
        *) [ ! -s "$dir/out" ] || fail "import --fail-call $n: exit $status with transactions on the statement" ;;
        esac
    done
fi

retried=$(find "$work" -name retried | wc -l)
echo "fault campaign: $runs faulted runs ($retried run again after a stall)"
if [ "$failures" -gt 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "fault campaign: every invariant held"
