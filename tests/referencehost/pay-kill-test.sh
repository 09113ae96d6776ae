#!/usr/bin/env bash
# paylode-host pay killed at many instants under Wine: 4000 payments in
# formats 0 and 2, over an existing payment file and template file. The
# component's first new file ("~paylode-*.tmp") appears after the dialog's
# OK, the save dialog and the stored choices; from then on the run is
# killed with SIGKILL at instants spread evenly over the rest of an unkilled
# run's time (and a little beyond). Each time each file must hold either its
# old bytes or exactly the unkilled run's, and nothing but "~paylode-*.tmp"
# leftovers may stand beside them. The runs append to one payment journal
# (a folder the machine's registry names); one run each is also killed the
# moment its payment file is in place, while it appends. After every kill
# each run's lines are all in the journal or none of them, only the last
# line may be damaged, and the next run's lines are whole after it.
#   pay-kill-test.sh WINE_RUN PAYLODE_HOST_EXE PAYLODE_TOOL [KILLS_PER_FORMAT]
# The runs go in a Wine prefix and on an Xvfb display of their own, so
# that only this test's processes are killed.
set -uo pipefail
kills=${4:-6}
source "$(dirname "${BASH_SOURCE[0]}")/../support/own-prefix.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/kill-run.sh"
make_batch "$work/batch.csv" 4000
journal=$prefix/drive_c/paylode-journal
"$wine_run" "$prefix" reg add 'HKLM\SOFTWARE\Torvo\Kelmar Bank Paylode' /v JournalFolder /t REG_SZ \
    /d 'C:\paylode-journal' /f /reg:64 >/dev/null 2>&1 || { echo "FAIL: the journal folder cannot be set"; exit 1; }
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

# journal_whole WHAT: every run in the journal has all its 4000 lines, and
# nothing but the journal's last line is damaged.
journal_whole() {
    local damaged lines last
    damaged=$("$tool" journal --folder "$journal" --verify 2>/dev/null | jq -r .line)
    lines=$(cat "$journal"/PaylodeJournal-*.csv 2>/dev/null | tr -cd '\n' | wc -c)
    last=$(tail -c 1 "$journal"/PaylodeJournal-*.csv 2>/dev/null | od -An -c | tr -d ' ')
    case $(echo "$damaged" | grep -c .) in
    0) ;;
    1) [ "$last" != '\n' ] && [ "$damaged" = $((lines + 1)) ] || fail "$1: damaged journal line $damaged of $lines" ;;
    *) fail "$1: damaged journal lines $(echo $damaged)" ;;
    esac
    # Only a run torn by the kill, ending in the damaged line, may lack lines.
    [ "$("$tool" journal --folder "$journal" 2>/dev/null | jq -r .payments | grep -cvx 4000)" -le \
        "$(echo "$damaged" | grep -c .)" ] || fail "$1: a run's lines are missing from the journal"
}

# The kill aimed at the journal: as soon as the payment file is in place.
kill_when_in_place() {
    local dir=$1 clean=$2
    while kill -0 "$runner" 2>/dev/null; do
        cmp -s "$dir/pay.txt" "$clean/pay.txt" && { kill -KILL "$pid" 2>/dev/null; return; }
        sleep 0.002
    done
}

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
    for i in $(seq 0 "$kills"); do
        dir=$work/kill-$format
        # A loaded machine may let a run write its files and end between two
        # looks; such a run is let finish and started again.
        for try in 1 2 3; do
            start "$dir" "$format"
            [ -z "$started" ] || [ -z "$pid" ] || break
            wait "$runner" 2>/dev/null
        done
        at=$((window * 11 * (2 * i - 1) / (20 * kills)))
        if [ -z "$started" ] || [ -z "$pid" ]; then
            fail "format $format, kill $i: 3 runs were not seen writing (new file seen: ${started:+yes}, process: ${pid:-none})"
        elif [ "$i" = 0 ]; then
            kill_when_in_place "$dir" "$clean"
        else
            sleep_us $((started + at - $(now_us) > 0 ? started + at - $(now_us) : 0))
            kill -KILL "$pid" 2>/dev/null
        fi
        wait "$runner" 2>/dev/null
        pay=$(same_or_old "$dir/pay.txt" "$work/old-pay" "$clean/pay.txt")
        template=$(same_or_old "$dir/STAFF" "$work/old-template" "$clean/STAFF")
        outcomes["template $template, payment file $pay"]=$((${outcomes["template $template, payment file $pay"]:-0} + 1))
        [ "$pay" != torn ] && [ "$template" != torn ] ||
            fail "format $format, kill $i at $((at / 1000)) ms: template $template, payment file $pay"
        other=$(strays "$dir" batch.csv pay.txt STAFF)
        [ -z "$other" ] || fail "format $format, kill $i: left $other"
        journal_whole "format $format, kill $i"
    done
    for outcome in "${!outcomes[@]}"; do echo "format $format, $kills kills: ${outcomes[$outcome]} left $outcome"; done | sort
    unset outcomes
done
# A run after the kills appends whole lines.
start "$work/after" 0
wait "$runner" || fail "the run after the kills exited $?"
journal_whole "after the kills"
"$tool" journal --folder "$journal" 2>/dev/null | tail -1 | jq -r .payment_file | grep -qi '\\after\\pay\.txt$' ||
    fail "the run after the kills is not the journal's last: $("$tool" journal --folder "$journal" 2>/dev/null | tail -1)"
[ "$failures" = 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "every kill left each file whole: old or new; the journal's runs whole but its last line"
