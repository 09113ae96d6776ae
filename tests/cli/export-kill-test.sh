#!/usr/bin/env bash
# paylode export killed at many instants: a 4000-payment bulk list over an
# existing payment file and template file, killed with SIGKILL at instants
# spread evenly over an unkilled run's time (and a little beyond). Each time
# each file must hold either its old bytes or exactly the unkilled run's,
# and nothing but "~paylode-*.tmp" leftovers may stand beside them.
#   export-kill-test.sh PAYLODE [KILLS]
set -uo pipefail
paylode=$(realpath "$1")
kills=${2:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/kill-run.sh"

make_batch "$work/batch.csv" 4000
printf 'OLD PAYMENT FILE\r\n' >"$work/old-pay"
printf 'OLD TEMPLATE\r\n' >"$work/old-template"
args=(export "$work/batch.csv" --format 2 --date 2024-03-05 --today 2024-03-01 --template staff --reference ben/1
    --overwrite-template --out pay.txt)

# fresh DIR: the folder as the user left it.
fresh() { rm -rf "$1" && mkdir -p "$1" && cp "$work/old-pay" "$1/pay.txt" && cp "$work/old-template" "$1/STAFF"; }

fresh "$work/clean"
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
for i in $(seq 1 "$kills"); do
    dir=$work/kill
    fresh "$dir"
    (cd "$dir" && exec "$paylode" "${args[@]}" 2>/dev/null) &
    pid=$!
    # Instants from the start to a tenth beyond the unkilled run's end.
    sleep_us $((duration * 11 * i / (10 * kills)))
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pay=$(same_or_old "$dir/pay.txt" "$work/old-pay" "$work/clean/pay.txt")
    template=$(same_or_old "$dir/STAFF" "$work/old-template" "$work/clean/STAFF")
    outcomes["template $template, payment file $pay"]=$((${outcomes["template $template, payment file $pay"]:-0} + 1))
    if [ "$pay" = torn ] || [ "$template" = torn ]; then
        failures=$((failures + 1))
        echo "FAIL: kill $i after $((duration * 11 * i / (10 * kills) / 1000)) ms: template $template, payment file $pay"
    fi
    other=$(strays "$dir" pay.txt STAFF)
    [ -z "$other" ] || { failures=$((failures + 1)); echo "FAIL: kill $i left $other"; }
    ls "$dir" | grep -q '^~paylode-' && leftovers=$((leftovers + 1))
done
for outcome in "${!outcomes[@]}"; do echo "$kills kills: ${outcomes[$outcome]} left $outcome"; done | sort
echo "$leftovers kills left a ~paylode- file beside them"
[ "$failures" = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "every kill left each file whole: old or new"
