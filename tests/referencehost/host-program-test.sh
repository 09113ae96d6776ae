#!/usr/bin/env bash
# paylode-host under Wine, end to end through the registered DLL and its
# real dialogs: `pay` gives the same payment files, template files, statuses
# and exit statuses as `paylode export` for a table of batches in all four
# formats; `import` gives the same transactions as `paylode statement`;
# `services`, `register` and `unregister`, and the exit statuses of
# cancelled, refused and unusable runs.
#   host-program-test.sh WINE_RUN PREFIX PAYLODE_HOST_EXE PAYLODE_TOOL DATA_DIR
# PAYLODE_TOOL is the native `paylode` (build/native/bin/paylode): build the
# native preset first.
set -uo pipefail
wine_run=$1
prefix=$2
host=$3
tool=$4
data=$5
work=$(mktemp -d)
# The shared settings folder that `register` creates goes again at the end
# when the prefix had none, so that the other suites find the prefix as
# they left it.
torvo="$prefix/drive_c/ProgramData/TORVO"
[ -e "$torvo" ] && keepTorvo=1 || keepTorvo=0
trap 'rm -rf "$work"; [ "$keepTorvo" = 1 ] || rm -rf "$torvo"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

source "$(dirname "${BASH_SOURCE[0]}")/../support/needs.sh"
needs "$tool" "the native paylode tool: build the native preset"

# host EXPECTED_STATUS NAME ARGS...: paylode-host in $work; standard output
# to NAME.out, standard error to NAME.err.
host() {
    local expected=$1 name=$2
    shift 2
    (cd "$work" && PAYLODE_STDERR="$work/$name.err" timeout 300 "$wine_run" "$prefix" "$host" "$@" >"$work/$name.out")
    local status=$?
    [ "$status" = "$expected" ] ||
        fail "$name: paylode-host exit status $status, expected $expected: $* ($(tail -3 "$work/$name.err"))"
}

# tool EXPECTED_STATUS ARGS...: paylode in $work.
tool() {
    local expected=$1
    shift
    (cd "$work" && "$tool" "$@" >"$work/tool.out" 2>"$work/tool.err")
    local status=$?
    [ "$status" = "$expected" ] || fail "paylode exit status $status, expected $expected: $* ($(cat "$work/tool.err"))"
}

same() {  # same NAME ACTUAL EXPECTED
    cmp -s "$2" "$3" || { fail "$1: $2 differs from $3"; diff <(cat -A "$3") <(cat -A "$2") | head -10; }
}

contains() {  # contains NAME FILE TEXT
    grep -qF -- "$3" "$2" || fail "$1: $2 does not say \"$3\": $(cat "$2")"
}

absent() {  # absent NAME FILE
    [ ! -e "$1" ] || fail "$2: $1 was written"
}

cp "$data"/export/*.csv "$data"/sample-statement.csv "$work"/

# The processing date the options dialog proposes today: a banking day that
# its checks accept.
date=$("$tool" calendar "$(date +%F)" | sed -n 's/.*"next":"\([0-9-]*\)".*/\1/p')
[ -n "$date" ] || { echo "FAIL: no processing date from paylode calendar"; exit 1; }

# ---- registration and services -------------------------------------------------
host 0 register register
contains register "$work/register.out" "TorvoKelmarBankPaylode.DLL"
[ -d "$torvo/Torvo EBanking" ] || fail "register: no shared settings folder"
ini="$torvo/Torvo EBanking/BANKSERV.INI"
rm -f "$ini"

host 0 services services
printf '%s\n' '{"index":0,"name":"Bank Payment Service","status":0}' \
    '{"index":1,"name":"Bank Reconciliation Service","status":0}' >"$work/services.expected"
same services "$work/services.out" "$work/services.expected"

# ---- pay against export: a table of batches ------------------------------------
# Generated batches: 4000 good payments, and the sample batch without its IAT
# mark (marked by the host's dialog instead, and by the CSV for the tool).
{
    echo "amount,payer_sort_code,payer_account_number,payee_sort_code,payee_account_number,payee_account_name,payee_bacs_reference,status"
    for i in $(seq 0 3999); do
        printf '%d.%02d,12-34-56,12345678,%06d,%08d,PAYEE %d,REF%d,0\n' $((i % 900 + 1)) $((i % 100)) $((100000 + i)) $((20000000 + i)) "$i" "$i"
    done
} >"$work/large.csv"
unmarked() {  # the three payments, with these IAT marks
    echo "amount,payer_sort_code,payer_account_number,payee_sort_code,payee_account_number,payee_account_name,status"
    echo "10,12-34-56,12345678,65-43-21,87654321,FIRST,$1"
    echo "20,12-34-56,12345678,11-22-33,11223344,SECOND,$2"
    echo "30,12-34-56,12345678,22-33-44,22334455,THIRD,$3"
}
unmarked 0 0 0 >"$work/unmarked.csv"
unmarked 1 0 1 >"$work/marked.csv"

# name | host batch | tool batch | format | expected status | host options | tool options
rows=(
    "sample-0|batch.csv|batch.csv|0|1||"
    "sample-1-euro|batch.csv|batch.csv|1|1|--template|Staff pay|--euro"
    "sample-2|batch.csv|batch.csv|2|1|--template|staff|--reference|ben/1"
    "sample-3|batch.csv|batch.csv|3|1|--reference|Ben ref"
    "good-0|good.csv|good.csv|0|0"
    "good-2-euro|good.csv|good.csv|2|0|--template|GOOD|--reference|B1|--euro"
    "iat-0|unmarked.csv|marked.csv|0|0|--iat|0,2|"
    "iat-1|unmarked.csv|marked.csv|1|0|--iat|0,2|--template|T1"
    "large-0|large.csv|large.csv|0|0"
    "large-3|large.csv|large.csv|3|0|--reference|BULK"
    # The host process's C locale writes a decimal comma (as a host may set
    # it): the files and statuses are those of the runs without it.
    "comma-0|batch.csv|batch.csv|0|1|--c-locale|German_Germany.1252"
    "comma-1|batch.csv|batch.csv|1|1|--c-locale|German_Germany.1252|--template|Staff pay|--euro"
    "comma-2|batch.csv|batch.csv|2|1|--c-locale|German_Germany.1252|--template|staff|--reference|ben/1"
    "comma-3|large.csv|large.csv|3|0|--c-locale|German_Germany.1252|--reference|BULK"
)
for row in "${rows[@]}"; do
    IFS='|' read -r -a f <<<"$row"
    name=${f[0]} hostBatch=${f[1]} toolBatch=${f[2]} format=${f[3]} expected=${f[4]}
    extra=("${f[@]:5}")
    hostExtra=() toolExtra=()
    for ((i = 0; i < ${#extra[@]}; i++)); do
        case ${extra[i]} in
        --iat | --c-locale) hostExtra+=("${extra[i]}" "${extra[i + 1]}"); i=$((i + 1)) ;;
        --euro) hostExtra+=(--euro); toolExtra+=(--euro) ;;
        --*) hostExtra+=("${extra[i]}" "${extra[i + 1]}"); toolExtra+=("${extra[i]}" "${extra[i + 1]}"); i=$((i + 1)) ;;
        esac
    done
    mkdir -p "$work/host-$name" "$work/tool-$name"
    tool "$expected" export "$toolBatch" --format "$format" --date "$date" --out "tool-$name/pay.txt" \
        --statuses "tool-$name/statuses.csv" "${toolExtra[@]}"
    host "$expected" "$name" pay "$hostBatch" --format "$format" --date "$date" --out "host-$name/pay.txt" \
        --statuses "${hostExtra[@]}"
    same "$name" "$work/host-$name/pay.txt" "$work/tool-$name/pay.txt"
    same "$name statuses" "$work/$name.out" "$work/tool-$name/statuses.csv"
    contains "$name" "$work/$name.err" "status value $expected, ProcessPayments returned 0x0000000$expected"
    if [ "$format" = 2 ]; then
        template=$(cd "$work/tool-$name" && ls | grep -v -e pay.txt -e statuses.csv)
        same "$name template" "$work/host-$name/$template" "$work/tool-$name/$template"
    fi
done

# The choices are remembered per paying account in the prefix's BANKSERV.INI.
host 0 account pay good.csv --format 2 --date "$date" --out account.txt --template "Staff" --reference "R1" \
    --account 12-34-56:12345678
contains account "$ini" "KelmarPaylodeTemplate123456_12345678=STAFF"
contains account "$ini" "KelmarPaylodeBenRef123456_12345678=R1"
contains account "$ini" "RICheckState=FALSE"
# An existing template file is kept unless the user answers Yes.
echo changed >"$work/STAFF"
host 0 keep pay good.csv --format 2 --date "$date" --out account.txt --template "Staff" --reference "R1"
contains keep "$work/keep.err" "Bulk List Template Exists"
[ "$(cat "$work/STAFF")" = changed ] || fail "keep: the template file was replaced"
host 0 replace pay good.csv --format 2 --date "$date" --out account.txt --template "Staff" --reference "R1" \
    --overwrite-template yes
[ "$(cat "$work/STAFF")" != changed ] || fail "replace: the template file was kept"

# --check-accounts: the same warnings as `paylode export --check-accounts`,
# from the tables beside the program; the run is unchanged.
tool 1 export batch.csv --format 0 --date "$date" --out tool-checked.txt --check-accounts
host 1 checked pay batch.csv --format 0 --date "$date" --out checked.txt --check-accounts
same checked <(grep '^payment ' "$work/checked.err") "$work/tool.err"
same checked-file "$work/checked.txt" "$work/tool-checked.txt"

# ---- cancelled, refused and unusable runs --------------------------------------
host 3 cancel-options pay good.csv --format 0 --date "$date" --out cancelled.txt --cancel options
host 3 cancel-save pay good.csv --format 0 --date "$date" --out cancelled.txt --cancel save
absent "$work/cancelled.txt" cancel
# --repeat N: the run N times in one process, each followed by the
# process's heap bytes and handles; without it, no such line.
runs() {  # runs NAME COUNT: the lines "run 1: ..." to "run COUNT: ..." of NAME.err, in order
    [ "$(grep -E '^run [0-9]+: heap bytes [0-9]+, handles [0-9]+$' "$work/$1.err" | cut -d: -f1 | tr '\n' ' ')" = \
        "$(for k in $(seq 1 "$2"); do printf 'run %d ' "$k"; done)" ] || fail "$1: not $2 usage lines: $(cat "$work/$1.err")"
}
runs cancel-options 0
host 3 cancel-repeat pay good.csv --format 0 --date "$date" --out cancelled.txt --cancel options --repeat 3
runs cancel-repeat 3
[ "$(grep -c 'status value 3, ProcessPayments returned 0x00000000' "$work/cancel-repeat.err")" = 3 ] ||
    fail "cancel-repeat: not three cancelled runs"
# Only a whole number from 1 repeats.
for repeat in 0 -1 1.5 x 010 ""; do
    host 100 bad-repeat pay good.csv --format 0 --date "$date" --out cancelled.txt --cancel options --repeat "$repeat"
    runs bad-repeat 0
done
host 100 bad-repeat-import import sample-statement.csv --account 12-34-56:12345678 --repeat 0
# A Saturday is refused on OK: the message is printed and the run cancelled.
saturday=$("$tool" calendar "$date" "$(date -d "$date + 14 days" +%F)" | grep '"reason":2' | head -1 |
    sed 's/.*"date":"\([0-9-]*\)".*/\1/')
host 3 refused pay good.csv --format 0 --date "$saturday" --out refused.txt
contains refused "$work/refused.err" "Non-Banking Date Specified"
contains refused "$work/refused.err" "refused OK"
# An empty template name is refused too.
host 3 no-template pay good.csv --format 1 --date "$date" --out refused.txt
contains no-template "$work/no-template.err" "refused OK"
absent "$work/refused.txt" refused
# More than 4000 payments: the component's message, status value 40, no file.
{ cat "$work/large.csv"; tail -1 "$work/large.csv"; } >"$work/too-many.csv"
host 40 too-many pay too-many.csv --format 0 --date "$date" --out too-many.txt
contains too-many "$work/too-many.err" "maximum of 4000 payments"
absent "$work/too-many.txt" too-many
# Unusable input: the tool's message with the line; unusable arguments.
tool 2 export bad-amount.csv --format 0 --date "$date" --out bad.txt
host 100 bad-amount pay bad-amount.csv --format 0 --date "$date" --out bad.txt
contains bad-amount "$work/bad-amount.err" "$(sed 's/^paylode export: //' "$work/tool.err")"
host 100 no-date pay good.csv --format 0 --out bad.txt
host 100 bad-format pay good.csv --format 4 --date "$date" --out bad.txt
host 100 bad-iat pay good.csv --format 0 --date "$date" --out bad.txt --iat 1
host 100 bad-account pay good.csv --format 0 --date "$date" --out bad.txt --account 123456
# An option that takes a value never takes the next option as its value.
host 100 swallowed pay good.csv --format 0 --date "$date" --out --statuses
absent "$work/--statuses" swallowed
absent "$work/bad.txt" unusable

# ---- import against statement --------------------------------------------------
for account in 99-99-99:00000000 654321:87654321 12-34-56:12345678; do
    tool 0 statement sample-statement.csv --sort-code "${account%%:*}" --account "${account#*:}"
    host 0 import import sample-statement.csv --account "$account"
    same "import $account" "$work/import.out" "$work/tool.out"
    host 0 import-comma import sample-statement.csv --account "$account" --c-locale German_Germany.1252
    same "import $account under a decimal-comma C locale" "$work/import-comma.out" "$work/tool.out"
done
[ -s "$work/import.out" ] || fail "import: no transaction for 12-34-56:12345678"
host 0 import-repeat import sample-statement.csv --account 12-34-56:12345678 --repeat 2
cat "$work/import.out" "$work/import.out" >"$work/import-twice.expected"
same import-repeat "$work/import-repeat.out" "$work/import-twice.expected"
runs import-repeat 2
# Files the import refuses: the tool and the host say why in the same words,
# and nothing reaches the statement.
{ head -n 2 "$data/sample-statement.csv"; printf '\r\n'; tail -n +3 "$data/sample-statement.csv"; } >"$work/gap.csv"
for refused in "batch.csv:is not a statement file: its header has 10 fields; a statement's header has 14 or 18." \
    "gap.csv:cannot be read: it is empty; a statement line has at least 14 fields."; do
    file=${refused%%:*}
    tool 1 statement "$file" --sort-code 12-34-56 --account 12345678
    contains "statement $file" "$work/tool.err" "${refused#*:}"
    host 2 refused import "$file" --account 12-34-56:12345678
    contains "import $file" "$work/refused.err" "${refused#*:}"
    [ ! -s "$work/refused.out" ] || fail "import $file: transactions received"
done
contains "import gap.csv" "$work/refused.err" "ImportStatement returned 0x800AFFFF Line 3 of Z:"
host 1 import-cancel import sample-statement.csv --account 12-34-56:12345678 --cancel
[ ! -s "$work/import-cancel.out" ] || fail "import-cancel: transactions printed"
host 100 import-no-account import sample-statement.csv
host 100 import-missing import missing.csv --account 12-34-56:12345678
contains import-missing "$work/import-missing.err" "cannot open missing.csv"
# A path the chooser cannot hand out in 8-bit text: refused, and the run's
# copy of the reference host's configuration goes with it.
cp "$work/sample-statement.csv" "$work/Łódź.csv"
printf '[StatementImport]\r\nFilter=*.csv\r\n' >"$work/configured.ini"
export TORVO_REFERENCE_HOST_INI="Z:$work/configured.ini"
host 100 import-untypeable import "Łódź.csv" --account 12-34-56:12345678
unset TORVO_REFERENCE_HOST_INI
contains import-untypeable "$work/import-untypeable.err" "cannot be typed"
left=$(find "$prefix/drive_c/users" -name 'paylode-host-*.ini' 2>/dev/null)
[ -z "$left" ] || fail "import-untypeable: the temporary configuration is left behind: $left"

# ---- failing calls: the reference host's objects fail as configured ------------
printf '[Failures]\r\nbankSettings.Create=0x80040154\r\nchooser.SelectFile=0x80004005\r\n' >"$work/failing.ini"
export TORVO_REFERENCE_HOST_INI="Z:$work/failing.ini"
host 100 failing-pay pay good.csv --format 0 --date "$date" --out failing.txt
contains failing-pay "$work/failing-pay.err" "ProcessPayments returned 0x80020009"
host 100 failing-import import sample-statement.csv --account 12-34-56:12345678
contains failing-import "$work/failing-import.err" "ImportStatement returned 0x80020009"
unset TORVO_REFERENCE_HOST_INI
absent "$work/failing.txt" failing-pay

# ---- unregistered ---------------------------------------------------------------
host 0 unregister unregister
host 100 unregistered services
contains unregistered "$work/unregistered.err" "not registered"
host 100 unregistered-pay pay good.csv --format 0 --date "$date" --out unregistered.txt
absent "$work/unregistered.txt" unregistered-pay
# A run that fails does not end the others: each says why.
host 100 unregistered-repeat import sample-statement.csv --account 12-34-56:12345678 --repeat 2
runs unregistered-repeat 2
[ "$(grep -c '^paylode-host import: the component is not registered' "$work/unregistered-repeat.err")" = 2 ] ||
    fail "unregistered-repeat: not two failed runs: $(cat "$work/unregistered-repeat.err")"

if [ "$failures" -gt 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "paylode-host: every check passed"
