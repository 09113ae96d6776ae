#!/usr/bin/env bash
# A host that runs all day: paylode-host loads the component once and runs
# RUNS payment runs with the dialog (`pay --repeat RUNS`), then RUNS
# statement imports (`import --repeat RUNS`), each in one process. After
# each run the program prints the bytes in use in its heaps and its open
# handles; from the tenth run to the last, heap bytes may grow by at most
# 64 KiB and handles by at most 2. Every run must end as the first did and
# print the same output.
#   soak-test.sh WINE_RUN PAYLODE_HOST_EXE PAYLODE_TOOL [RUNS]
# RUNS defaults to 100 (the test); scripts/soak.sh runs 1000. In a Wine
# prefix and on an Xvfb display of its own.
set -uo pipefail
runs=${4:-100}
source "$(dirname "${BASH_SOURCE[0]}")/../support/own-prefix.sh"
data=$(cd "$(dirname "${BASH_SOURCE[0]}")/../cli" && pwd)
settle=10
heapGrowth=65536
handleGrowth=2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# soak NAME EXPECTED_STATUS ARGS...: one paylode-host process with
# --repeat $runs in $work; its standard output must be the first run's
# output $runs times, and its usage lines are checked.
soak() {
    local name=$1 expected=$2 started status
    shift 2
    started=$(date +%s%N)
    (cd "$work" && PAYLODE_STDERR="$work/$name.err" timeout 1800 "$wine_run" "$prefix" "$host" "$@" \
        --repeat "$runs" >"$work/$name.out")
    status=$?
    echo "$name: $runs runs in $((($(date +%s%N) - started) / 1000000)) ms"
    [ "$status" = "$expected" ] || { fail "$name: exit status $status, expected $expected: $(tail -3 "$work/$name.err")"; return; }
    usage "$name" "$work/$name.err"
    # Every run printed what the first printed and ended the same way.
    local each
    each=$(($(wc -l <"$work/$name.out") / runs))
    for _ in $(seq 1 "$runs"); do head -n "$each" "$work/$name.out"; done | cmp -s - "$work/$name.out" ||
        fail "$name: the runs printed different output"
    [ "$(grep -c "status value $expected, " "$work/$name.err")" = "$runs" ] ||
        fail "$name: not every run ended with status value $expected"
}

# usage NAME ERR: the lines "run K: heap bytes B, handles H", K from 1 to
# $runs in order; growth from run $settle to the last within the bounds.
usage() {
    local name=$1 err=$2
    awk -v runs="$runs" -v settle="$settle" -v heap="$heapGrowth" -v handles="$handleGrowth" -v name="$name" '
        /^run [0-9]+: heap bytes [0-9]+, handles [0-9]+$/ {
            k = substr($2, 1, length($2) - 1) + 0
            if (k != ++seen) { printf "FAIL: %s: run %d reported as run %d\n", name, seen, k; bad = 1 }
            b[k] = $5 + 0; h[k] = $7 + 0
        }
        END {
            if (seen != runs) { printf "FAIL: %s: %d usage lines, expected %d\n", name, seen, runs; exit 1 }
            printf "%s: run 1: heap bytes %d, handles %d; run %d: %d, %d; run %d: %d, %d\n",
                name, b[1], h[1], settle, b[settle], h[settle], runs, b[runs], h[runs]
            if (b[runs] - b[settle] > heap) {
                printf "FAIL: %s: heap bytes grew by %d from run %d to run %d\n", name, b[runs] - b[settle], settle, runs; bad = 1
            }
            if (h[runs] - h[settle] > handles) {
                printf "FAIL: %s: handles grew by %d from run %d to run %d\n", name, h[runs] - h[settle], settle, runs; bad = 1
            }
            exit bad
        }' "$err" || failures=$((failures + 1))
}

cp "$data/export/batch.csv" "$data/sample-statement.csv" "$work/"
# A bulk list run with the dialog, its questions, the template file asked
# about and replaced from the second run on, the choices remembered for the
# paying account, and every payment's status text.
soak pay 1 pay batch.csv --format 2 --date "$date" --out pay.txt --template Staff --reference "Ben 1" \
    --overwrite-template yes --account 12-34-56:12345678 --statuses
soak import 0 import sample-statement.csv --account 12-34-56:12345678

[ "$failures" = 0 ] || exit 1
echo "$runs payment runs and $runs imports in one process each: heaps and handles stay within bounds"
