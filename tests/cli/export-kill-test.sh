#!/usr/bin/env bash
# paylode export killed at many instants: a 4000-payment standard payment
# file over an existing one, killed with SIGKILL at instants spread evenly
# over an unkilled run's time (and a little beyond). Each time the file must
# hold either its old bytes or exactly the unkilled run's, and nothing but a
# "~paylode-*.tmp" leftover may stand beside it.
#   export-kill-test.sh PAYLODE [KILLS]
set -uo pipefail
shopt -s nullglob dotglob
paylode=$(realpath "$1")
kills=${2:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/kill-run.sh"

make_batch "$work/batch.csv" 4000
printf 'OLD PAYMENT FILE\r\n' >"$work/old-pay"
args=(export "$work/batch.csv" --format 0 --date 2024-03-05 --today 2024-03-01 --out pay.txt)
mkdir "$work/clean" "$work/kill"

cp "$work/old-pay" "$work/clean/pay.txt"
start=$(now_us)
(cd "$work/clean" && "$paylode" "${args[@]}" 2>/dev/null)
status=$?
duration=$(($(now_us) - start))
[ "$status" = 0 ] || { echo "FAIL: the unkilled run exited $status"; exit 1; }
cmp -s "$work/clean/pay.txt" "$work/old-pay" && { echo "FAIL: the unkilled run left the old payment file"; exit 1; }
echo "unkilled run: $((duration / 1000)) ms, $(stat -c %s "$work/clean/pay.txt") bytes"

failures=0
declare -A outcomes=()
leftovers=0
dir=$work/kill
for i in $(seq 1 "$kills"); do
    rm -f "$dir"/*
    cp "$work/old-pay" "$dir/pay.txt"
    (cd "$dir" && exec "$paylode" "${args[@]}" 2>/dev/null) &
    pid=$!
    # Instants from the start to a tenth beyond the unkilled run's end.
    at=$((duration * 11 * i / (10 * kills)))
    sleep_us "$at"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pay=$(same_or_old "$dir/pay.txt" "$work/old-pay" "$work/clean/pay.txt")
    outcomes[$pay]=$((${outcomes[$pay]:-0} + 1))
    [ "$pay" != torn ] || { failures=$((failures + 1)); echo "FAIL: kill $i after $((at / 1000)) ms: a torn payment file"; }
    other=$(strays "$dir" pay.txt)
    [ -z "$other" ] || { failures=$((failures + 1)); echo "FAIL: kill $i left $other"; }
    unfinished=("$dir"/~paylode-*.tmp)
    [ "${#unfinished[@]}" = 0 ] || leftovers=$((leftovers + 1))
done
for outcome in "${!outcomes[@]}"; do echo "$kills kills: ${outcomes[$outcome]} left the $outcome payment file"; done | sort
echo "$leftovers kills left a ~paylode- file beside it"
[ "$failures" = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "every kill left the payment file whole: old or new"
