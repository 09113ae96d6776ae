#!/usr/bin/env bash
# Both bitnesses of the component registered in one 64-bit prefix, as on
# 64-bit Windows: the classes live in each registry view, the ProgIDs in
# both at once. Unregistering one bitness must leave the other creatable by
# its ProgIDs; unregistering the last removes the ProgIDs. Both orders.
#   side-by-side.sh WINE_RUN PREFIX BIN64 BIN32
# BIN64 and BIN32 are the bin folders of the win64 and win32 builds (each
# with TorvoKelmarBankPaylode.DLL, TorvoReferenceHost.dll and WalkBank.vbs).
set -uo pipefail
wine_run=$1
prefix=$2
bin64=$3
bin32=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

source "$(dirname "${BASH_SOURCE[0]}")/../support/needs.sh"
needs "$bin32/TorvoKelmarBankPaylode.DLL" "the 32-bit DLL: build the win32 preset"

# loader BITS: the Wine loader that runs that bitness's built-in programs.
loader() { [ "$1" = 32 ] && echo wine || echo /usr/lib/wine/wine64; }
# regsvr32 BITS [/u] DLL: the regsvr32 of that bitness in the 64-bit prefix.
regsvr32() {
    local bits=$1
    shift
    PAYLODE_WINE=$(loader "$bits") "$wine_run" "$prefix" regsvr32 /s "$@" >/dev/null 2>&1
}
# walk BITS: WalkBank.vbs under the cscript of that bitness; true when it
# created the bank and found both services.
walk() {
    local bin=$bin64
    [ "$1" = 32 ] && bin=$bin32
    (cd "$bin" && PAYLODE_WINE=$(loader "$1") "$wine_run" "$prefix" cscript //nologo WalkBank.vbs) >"$work/walk" 2>&1
    grep -q "each: Bank Reconciliation Service" "$work/walk"
}
progid_present() {
    "$wine_run" "$prefix" reg query 'HKCR\TorvoKelmarBankPaylode.Bank' >/dev/null 2>&1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

regsvr32 32 "$bin32/TorvoReferenceHost.dll" || fail "register the 32-bit reference host"
regsvr32 64 "$bin64/TorvoReferenceHost.dll" || fail "register the 64-bit reference host"

for first in 32 64; do
    second=$((96 - first))
    bin_first=$bin64 bin_second=$bin64
    [ "$first" = 32 ] && bin_first=$bin32 || bin_second=$bin32
    regsvr32 32 "$bin32/TorvoKelmarBankPaylode.DLL" || fail "register the 32-bit component"
    regsvr32 64 "$bin64/TorvoKelmarBankPaylode.DLL" || fail "register the 64-bit component"
    walk 32 || fail "both registered: a 32-bit script cannot walk the bank: $(cat "$work/walk")"
    walk 64 || fail "both registered: a 64-bit script cannot walk the bank: $(cat "$work/walk")"

    regsvr32 "$first" /u "$bin_first/TorvoKelmarBankPaylode.DLL" || fail "unregister the $first-bit component"
    walk "$second" || fail "$first-bit unregistered: a $second-bit script cannot walk the bank: $(cat "$work/walk")"
    walk "$first" && fail "$first-bit unregistered: a $first-bit script still walks the bank"

    regsvr32 "$second" /u "$bin_second/TorvoKelmarBankPaylode.DLL" || fail "unregister the $second-bit component"
    progid_present && fail "both unregistered ($first-bit first): the ProgID is left behind"
    walk "$second" && fail "both unregistered: a $second-bit script still walks the bank"
done

regsvr32 32 /u "$bin32/TorvoReferenceHost.dll"
regsvr32 64 /u "$bin64/TorvoReferenceHost.dll"

if [ "$failures" -gt 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "side by side: every check passed"
