# Shared by the kill tests: a batch of many payments, and a run killed with
# SIGKILL at a chosen instant. Sourced, not run.

# make_batch FILE COUNT: COUNT valid payments in the CSV that `paylode
# export` and `paylode-host pay` read.
make_batch() {
    {
        echo "amount,payer_sort_code,payer_account_number,payee_sort_code,payee_account_number,payee_account_name,payee_bacs_reference,status"
        awk -v n="$2" 'BEGIN { for (i = 1; i <= n; i++)
            printf "%d.%02d,12-34-56,12345678,65-43-21,%08d,PAYEE %d,INV %d,0\n", i % 900 + 1, i % 100, 10000000 + i, i, i }'
    } >"$1"
}

# now_us: microseconds since the epoch.
now_us() { local t=$EPOCHREALTIME; echo "${t/./}"; }

# sleep_us MICROSECONDS
sleep_us() { sleep "$(printf '%d.%06d' $(($1 / 1000000)) $(($1 % 1000000)))"; }

# same_or_old PATH OLD NEW: PATH holds OLD's bytes ("old") or NEW's ("new");
# anything else is printed as "torn".
same_or_old() {
    if cmp -s "$1" "$2"; then echo old
    elif cmp -s "$1" "$3"; then echo new
    else echo torn; fi
}

# strays DIR KNOWN...: the names in DIR other than KNOWN and the component's
# "~paylode-*.tmp" leftovers, one per line.
strays() {
    local dir=$1 path name
    shift
    for path in "$dir"/* "$dir"/.[!.]*; do
        [ -e "$path" ] || continue
        name=${path##*/}
        [[ " $* " == *" $name "* || $name == "~paylode-"*.tmp ]] || echo "$name"
    done
}
