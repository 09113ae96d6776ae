#!/usr/bin/env bash
# The installer packages register the component exactly as regsvr32 does.
#   msi-registry.sh WINE_RUN SOURCE_DIR BUILD64 BUILD32
# BUILD64 and BUILD32 are the win64 and win32 build trees. Both packages are
# built by scripts/make-msi.sh; then, in two fresh 64-bit prefixes with the
# reference host registered in both bitnesses (it registers the host's type
# libraries that the component's library imports):
#   A  regsvr32 of the 32-bit and then the 64-bit DLL;
#   B  msiexec /i of the 32-bit and then the 64-bit package.
# Every key the component writes (its ProgIDs, its classes, its type library
# and interfaces) is dumped from both registry views with the DLLs' paths
# and folders made placeholders; the two dumps must be equal line by line.
# Then B's 64-bit package is removed: the ProgIDs (one key for both views)
# and the 32-bit classes stay; with the 32-bit package removed too nothing
# of the component is left, but a BANKSERV.INI in the settings folder is.
set -uo pipefail
wine_run=$1
source_dir=$2
build64=$3
build32=$4
source "$(dirname "${BASH_SOURCE[0]}")/../support/needs.sh"
needs "$build32/bin/paylode-msi-registry.exe" "the 32-bit package's tools: build the win32 preset"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

work=$build64/msi-registry-test
rm -rf "$work"
mkdir -p "$work"
cleanup() {
    for prefix in "$work/a" "$work/b"; do
        [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
    done
    rm -rf "$work"
}
[ -n "${PAYLODE_KEEP_TEST_PREFIXES:-}" ] || trap cleanup EXIT

for bits in x64 x86; do
    build=$build64
    [ $bits = x86 ] && build=$build32
    bash "$source_dir/scripts/make-msi.sh" "$build" $bits 1.0.0 "$work/paylode-$bits.msi" >"$work/make-$bits.log" 2>&1 ||
        { cat "$work/make-$bits.log"; echo "FAIL: make-msi.sh $bits"; exit 1; }
done

# The component's keys, from its registry scripts and type library source.
classes="D3E2A241-CB54-45CB-A1DC-7327E847421C 2D6E45A3-9B60-4600-BF85-ED4592B62EE8
         65F65E61-C5AD-4315-92D2-E6EACDAAB964 D08D5248-11F7-4F41-80CB-856110716FA5"
interfaces="98879CD0-3CCD-4611-834E-E4AC1CA02D72 7AB9ECD6-3335-4A15-889A-62AAB9665D32
            2E778E85-87E1-4551-B4F9-4359DF360B38 83D85E28-14C5-461A-B82D-6F115E93DA36"
libid=164B07F1-9E06-417E-8101-DB1118692AC3
keys=()
for name in Bank BankServices BankPaymentService BankStatementService; do
    keys+=("TorvoKelmarBankPaylode.$name" "TorvoKelmarBankPaylode.$name.1")
done
for clsid in $classes; do keys+=("CLSID\\{$clsid}"); done
for iid in $interfaces; do keys+=("Interface\\{$iid}"); done
keys+=("TypeLib\\{$libid}")

# run PREFIX BITS PROGRAM ARGS...: a program of that bitness in the prefix.
run() {
    local prefix=$1 bits=$2
    shift 2
    local loader=/usr/lib/wine/wine64
    [ "$bits" = 32 ] && loader=wine
    PAYLODE_WINE=$loader "$wine_run" "$prefix" "$@"
}
# dump PREFIX OUT: every key of the component in both views, with its
# values, into OUT: one `reg export` of HKEY_CLASSES_ROOT per view (each Wine
# launch costs, and now and then fails for Wine's own reasons), cut to the
# component's keys and their subkeys, values unescaped.
dump() {
    local prefix=$1 out=$2 view
    : >"$out"
    for view in 32 64; do
        rm -f "$work/hkcr.reg"
        run "$prefix" 64 reg export HKEY_CLASSES_ROOT "$(windows_path "$work/hkcr.reg")" /reg:$view /y >/dev/null 2>&1 &&
            [ -s "$work/hkcr.reg" ] || { fail "reg export of the $view-bit view of $prefix"; return 1; }
        echo "== view $view" >>"$out"
        iconv -f UTF-16LE -t UTF-8 "$work/hkcr.reg" | tr -d '\r' | KEYS="${keys[*]}" awk '
            BEGIN { n = split(tolower(ENVIRON["KEYS"]), list, " ") }
            /^\[/ {
                name = tolower(substr($0, 2, length($0) - 2))
                keep = 0
                for (i = 1; i <= n; i++) {
                    root = "hkey_classes_root\\" list[i]
                    if (name == root || index(name, root "\\") == 1) keep = 1
                }
            }
            keep && NF { gsub(/\\\\/, "\\"); print }' >>"$out"
    done
}
# normalise DLL64 DLL32: the dump on standard input with each DLL's path and
# folder (with or without a closing backslash) as placeholders.
normalise() {
    local dll64=$1 dll32=$2
    local dir64=${dll64%\\*} dir32=${dll32%\\*}
    D64=$dll64 D32=$dll32 F64=$dir64 F32=$dir32 awk '
        function swap(line, from, to,   at) {
            while ((at = index(line, from)) > 0) line = substr(line, 1, at - 1) to substr(line, at + length(from))
            return line
        }
        BEGIN { d64 = ENVIRON["D64"]; d32 = ENVIRON["D32"]; f64 = ENVIRON["F64"]; f32 = ENVIRON["F32"] }
        {
            line = swap(swap($0, d64, "<DLL64>"), d32, "<DLL32>")
            line = swap(swap(line, f64 "\\", "<FOLDER64>"), f32 "\\", "<FOLDER32>")
            print swap(swap(line, f64, "<FOLDER64>"), f32, "<FOLDER32>")
        }'
}
windows_path() { local path; path=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${path//\//\\}"; }

# The two prefixes are made at once (wineboot takes most of the time).
run "$work/a" 64 cmd /c exit >/dev/null 2>&1 &
run "$work/b" 64 cmd /c exit >/dev/null 2>&1 &
wait
for prefix in "$work/a" "$work/b"; do
    run "$prefix" 32 regsvr32 /s "$build32/bin/TorvoReferenceHost.dll" >/dev/null 2>&1 ||
        fail "register the 32-bit reference host in $prefix"
    run "$prefix" 64 regsvr32 /s "$build64/bin/TorvoReferenceHost.dll" >/dev/null 2>&1 ||
        fail "register the 64-bit reference host in $prefix"
done

run "$work/a" 32 regsvr32 /s "$build32/bin/TorvoKelmarBankPaylode.DLL" >/dev/null 2>&1 || fail "regsvr32 the 32-bit DLL"
run "$work/a" 64 regsvr32 /s "$build64/bin/TorvoKelmarBankPaylode.DLL" >/dev/null 2>&1 || fail "regsvr32 the 64-bit DLL"
dump "$work/a" "$work/a.dump"
normalise "$(windows_path "$build64/bin/TorvoKelmarBankPaylode.DLL")" \
    "$(windows_path "$build32/bin/TorvoKelmarBankPaylode.DLL")" <"$work/a.dump" >"$work/regsvr32.txt"

run "$work/b" 32 msiexec /i "$(windows_path "$work/paylode-x86.msi")" /qn >/dev/null 2>&1 || fail "install the 32-bit package"
run "$work/b" 64 msiexec /i "$(windows_path "$work/paylode-x64.msi")" /qn >/dev/null 2>&1 || fail "install the 64-bit package"
installed64='C:\Program Files\Torvo\Kelmar Bank Paylode\TorvoKelmarBankPaylode.DLL'
installed32='C:\Program Files (x86)\Torvo\Kelmar Bank Paylode\TorvoKelmarBankPaylode.DLL'
dump "$work/b" "$work/b.dump"
normalise "$installed64" "$installed32" <"$work/b.dump" >"$work/msi.txt"

# Guard against two equally empty dumps: regsvr32 wrote every key in its view.
for view in 32 64; do
    for key in "${keys[@]}"; do
        case $key in TorvoKelmarBankPaylode.*) [ $view = 32 ] && continue ;; esac
        KEY="[hkey_classes_root\\$key]" awk -v head="== view $view" '
            /^== view/ { inside = ($0 == head) }
            inside && tolower($0) == tolower(ENVIRON["KEY"]) { found = 1 }
            END { exit !found }' "$work/a.dump" || fail "regsvr32 left no $key in the $view-bit view"
    done
done
diff -u "$work/regsvr32.txt" "$work/msi.txt" >"$work/diff" ||
    fail "the packages register differently from regsvr32 (- regsvr32, + packages):
$(cat "$work/diff")"

# The tables travel with each DLL, in its "modulus" folder.
for folder in "Program Files" "Program Files (x86)"; do
    [ -f "$work/b/drive_c/$folder/Torvo/Kelmar Bank Paylode/modulus/bank-closures.txt" ] ||
        fail "no modulus folder with the table of bank closures beside the DLL in $folder"
done

# The settings folder is the package's; a BANKSERV.INI in it never is.
settings="$work/b/drive_c/ProgramData/TORVO/Torvo EBanking"
[ -d "$settings" ] || fail "the packages made no settings folder"
echo "[MIGRATED]" >"$settings/BANKSERV.INI" 2>/dev/null

progid_present() { run "$work/b" 64 reg query 'HKCR\TorvoKelmarBankPaylode.Bank' /ve >/dev/null 2>&1; }
class_present() { run "$work/b" 64 reg query "HKCR\\CLSID\\{D3E2A241-CB54-45CB-A1DC-7327E847421C}\\InprocServer32" /reg:$1 >/dev/null 2>&1; }
run "$work/b" 64 msiexec /x "$(windows_path "$work/paylode-x64.msi")" /qn >/dev/null 2>&1 || fail "remove the 64-bit package"
progid_present || fail "removing the 64-bit package took the ProgIDs that the 32-bit one still needs"
class_present 32 || fail "removing the 64-bit package took the 32-bit classes"
class_present 64 && fail "the 64-bit package left its class behind"
[ -f "$work/b/drive_c/Program Files (x86)/Torvo/Kelmar Bank Paylode/TorvoKelmarBankPaylode.DLL" ] ||
    fail "removing the 64-bit package took the 32-bit DLL"
run "$work/b" 32 msiexec /x "$(windows_path "$work/paylode-x86.msi")" /qn >/dev/null 2>&1 || fail "remove the 32-bit package"
dump "$work/b" "$work/b-removed.dump" && grep '^\[' "$work/b-removed.dump" >"$work/left.txt" && fail "both packages removed, yet keys are left:
$(cat "$work/left.txt")"
[ -f "$settings/BANKSERV.INI" ] || fail "removing the packages took BANKSERV.INI"

if [ "$failures" -gt 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "msi registry: the packages write what regsvr32 writes, key by key"
