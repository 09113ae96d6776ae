#!/usr/bin/env bash
# paylode-host pay killed at many instants under Wine: 4000 payments in
# formats 0 and 2, over an existing payment file and template file. The
# component's first new file ("~paylode-*.tmp") appears after the dialog's
# OK, the save dialog and the stored choices; from then on the run is
# killed with SIGKILL at instants spread evenly over the rest of an unkilled
# run's time (and a little beyond). Each time each file must hold either its
# old bytes or exactly the unkilled run's, and nothing but "~paylode-*.tmp"
# leftovers may stand beside them.
#   pay-kill-test.sh WINE_RUN PAYLODE_HOST_EXE PAYLODE_TOOL [KILLS_PER_FORMAT]
# The runs go in a Wine prefix and on an Xvfb display of their own, so
# that only this test's processes are killed.
set -uo pipefail
kills=${4:-6}
source "$(dirname "${BASH_SOURCE[0]}")/../support/own-prefix.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/kill-run.sh"
make_batch "$work/batch.csv" 4000
printf 'OLD PAYMENT FILE\r\n' >"$work/old-pay"
printf 'OLD TEMPLATE\r\n' >"$work/old-template"

# The process of paylode-host in this test's prefix, once it runs.
host_pid() {
    local pid
    for pid in $(pgrep -f -i 'paylode-host\.exe'); do
        { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$prefix" && { echo "$pid"; return; }
    done
}

# start DIR FORMAT: the folder as the user left it, and paylode-host pay
# started in it; waits for the first new file and sets `started` to that
# instant (microseconds), `pid` to the Windows program's process and
# `runner` to the launching shell's.
start() {
    local dir=$1 format=$2 options=()
    rm -rf "$dir" && mkdir -p "$dir" && cp "$work/batch.csv" "$dir/"
    cp "$work/old-pay" "$dir/pay.txt" && cp "$work/old-template" "$dir/STAFF"
    case $format in
    0) options=(--template "Staff") ;;
    2) options=(--template "Staff" --reference "Ben 1" --overwrite-template yes) ;;
    esac
    (cd "$dir" && exec timeout 300 "$wine_run" "$prefix" "$host" pay batch.csv --format "$format" --date "$date" \
        --out pay.txt "${options[@]}" >/dev/null 2>"$dir/../err-$format") &
    runner=$!
    started=
    pid=
    while kill -0 "$runner" 2>/dev/null; do
        if compgen -G "$dir/~paylode-*.tmp" >/dev/null; then started=$(now_us); return; fi
        if [ -z "$pid" ]; then pid=$(host_pid); else sleep 0.002; fi
    done
}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
for format in 0 2; do
    clean=$work/clean-$format
    start "$clean" "$format"
    wait "$runner"
    status=$?
    ended=$(now_us)
    [ "$status" = 0 ] || { fail "format $format: the unkilled run exited $status: $(tail -2 "$work/err-$format")"; continue; }
    [ -n "$started" ] || { fail "format $format: no new file was seen while the run went on"; continue; }
    window=$((ended - started))
    cmp -s "$clean/pay.txt" "$work/old-pay" && { fail "format $format: the unkilled run left the old payment file"; continue; }
    echo "format $format: $((window / 1000)) ms from the first new file to the end"
    declare -A outcomes=()
    for i in $(seq 1 "$kills"); do
        dir=$work/kill-$format
        start "$dir" "$format"
        at=$((window * 11 * (2 * i - 1) / (20 * kills)))
        if [ -n "$started" ] && [ -n "$pid" ]; then
            sleep_us $((started + at - $(now_us) > 0 ? started + at - $(now_us) : 0))
            kill -KILL "$pid" 2>/dev/null
        else
            fail "format $format, kill $i: the run was not seen writing"
        fi
        wait "$runner" 2>/dev/null
        pay=$(same_or_old "$dir/pay.txt" "$work/old-pay" "$clean/pay.txt")
        template=$(same_or_old "$dir/STAFF" "$work/old-template" "$clean/STAFF")
        outcomes["template $template, payment file $pay"]=$((${outcomes["template $template, payment file $pay"]:-0} + 1))
        [ "$pay" != torn ] && [ "$template" != torn ] ||
            fail "format $format, kill $i at $((at / 1000)) ms: template $template, payment file $pay"
        other=$(strays "$dir" batch.csv pay.txt STAFF)
        [ -z "$other" ] || fail "format $format, kill $i: left $other"
    done
    for outcome in "${!outcomes[@]}"; do echo "format $format, $kills kills: ${outcomes[$outcome]} left $outcome"; done | sort
    unset outcomes
done
[ "$failures" = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "every kill left each file whole: old or new"
