#!/usr/bin/env bash
# The release as an administrator meets it, under Wine in a fresh 64-bit
# prefix: scripts/release.sh signed with a throwaway CA, every signature and
# checksum verified, both packages installed side by side and used by their
# ProgIDs (paylode-host and a script of each bitness), the paylode tool
# installed beside each DLL and run there, an upgrade from a lower version
# in place, a downgrade refused, and uninstalling that keeps the other
# bitness working and, at the end, leaves nothing of the component but the
# users' BANKSERV.INI. Every shipped DLL and paylode.exe, its signature
# removed, is byte for byte the one the win32 and win64 suites tested.
#   bash tests/release/release-test.sh
# The release is made from build/win32 and build/win64; scripts/test.sh
# builds and tests them first; when either is missing, the test is skipped.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
source "$repo/tests/support/needs.sh"
for preset in win32 win64; do
    needs "$repo/build/$preset/bin/paylode-msi-registry.exe" "the release is made from the tested $preset tree: build the $preset preset"
done
failures=0
checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # check DESCRIPTION COMMAND...: counts a check, fails when COMMAND does
    local what=$1
    shift
    checks=$((checks + 1))
    "$@" || fail "$what"
}

# ---- a throwaway CA and code-signing certificate -----------------------------------
(
    cd "$work" &&
        openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Paylode Test CA" \
            -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign \
            -keyout ca.key -out ca.pem &&
        openssl req -newkey rsa:2048 -nodes -subj "/CN=Paylode Test Signer" -keyout signer.key -out signer.csr &&
        printf 'extendedKeyUsage=codeSigning\nkeyUsage=digitalSignature\n' >signer.ext &&
        openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
            -extfile signer.ext -out signer.pem &&
        openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout pass:test \
            -out signer.pfx
) >/dev/null 2>&1 || { echo "FAIL: cannot make the test certificates"; exit 1; }

# ---- the release -------------------------------------------------------------------------
dist="$work/dist"
PAYLODE_SIGN_PFX="$work/signer.pfx" PAYLODE_SIGN_PASSWORD=test bash "$repo/scripts/release.sh" "$dist" \
    >"$work/release.log" 2>&1 || { tail -20 "$work/release.log"; echo "FAIL: release.sh"; exit 1; }
tail -8 "$work/release.log"
version=$(cat "$repo/build/win64/version.txt")
name="TorvoKelmarBankPaylode-$version"
for file in "$name-x86.msi" "$name-x64.msi" "$name.zip" SHA256SUMS; do
    check "$file is in the release" test -s "$dist/$file"
done
check "the checksums verify" bash -c "cd '$dist' && sha256sum -c --quiet SHA256SUMS"
check "SHA256SUMS covers every other file" test "$(wc -l <"$dist/SHA256SUMS")" = 3
mkdir -p "$work/$name" && (cd "$work/$name" && unzip -q "$dist/$name.zip")
check "the zip holds x86/, x64/, the guide and the changelog at its top" test "$(unzip -Z1 "$dist/$name.zip" | cut -d/ -f1 | sort -u | tr "\n" " ")" = "CHANGELOG.md README-ADMINISTRATORS.txt x64 x86 "
check "the changelog names the version released" grep -q "^## \[$version\] - " "$work/$name/CHANGELOG.md"
verified() { osslsigncode verify -CAfile "$work/ca.pem" -in "$1" >"$work/verify.log" 2>&1; }
for arch in x86 x64; do
    for file in TorvoKelmarBankPaylode.DLL paylode.exe paylode-host.exe TorvoReferenceHost.dll; do
        check "$arch/$file signed by the test CA" \
            verified "$work/$name/$arch/$file"
    done
    check "$name-$arch.msi signed by the test CA" \
        verified "$dist/$name-$arch.msi"
done
# The shipped DLLs and tools are the tested ones: signing changed nothing but the signature.
declare -A tree_of=([x86]=win32 [x64]=win64)
tested() {  # tested ARCH FILE: the zip's FILE of ARCH, its signature removed, is the tested tree's
    osslsigncode remove-signature -in "$work/$name/$1/$2" -out "$work/unsigned-$1-$2" \
        >/dev/null 2>&1 && cmp "$work/unsigned-$1-$2" "$repo/build/${tree_of[$1]}/bin/$2"
}
for arch in x86 x64; do
    for file in TorvoKelmarBankPaylode.DLL paylode.exe; do
        check "$arch/$file without its signature is build/${tree_of[$arch]}'s, byte for byte" tested "$arch" "$file"
    done
done
check "the guide has CR LF line ends" bash -c "head -1 '$work/$name/README-ADMINISTRATORS.txt' | grep -q $'\r$'"

# ---- a fresh 64-bit prefix -----------------------------------------------------------
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="
"$repo/cmake/wine-prefix.sh" "$WINEPREFIX" || { echo "FAIL: no Wine prefix"; exit 1; }
run32() { wine "$@" </dev/null 2>/dev/null; }
run64() { /usr/lib/wine/wine64 "$@" </dev/null 2>/dev/null; }
win() { winepath -w "$1" 2>/dev/null; }
x86="$work/$name/x86" x64="$work/$name/x64"
cp "$repo/tests/shell/win/WalkBank.vbs" "$x86/" && cp "$x86/WalkBank.vbs" "$x64/"
# The host application's framework: its type libraries, which the
# component's library imports, and its bank settings object.
run32 regsvr32 /s "$(win "$x86/TorvoReferenceHost.dll")"
run64 regsvr32 /s "$(win "$x64/TorvoReferenceHost.dll")"

works() {  # works BITS: paylode-host and a script of that bitness reach both services
    local run=run64 folder=$x64
    [ "$1" = 32 ] && run=run32 folder=$x86
    (cd "$folder" && $run paylode-host.exe services | grep -c '"name":"Bank' | grep -qx 2) &&
        (cd "$folder" && $run cscript //nologo WalkBank.vbs | grep -q "each: Bank Reconciliation Service")
}
installed_versions() {  # the versions of the installed packages of that bitness, one a line
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:"$1" 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ {found=0} /DisplayName/ && /Kelmar Bank Paylode/ && /'"$1"'-bit/ {found=1}
             found && /DisplayVersion/ {print $3; found=0}'
}
msi() { run32 msiexec "$1" "$(win "$2")" /qn; }

# An older package first, made by the test from the same build.
older="$work/older-x64.msi"
bash "$repo/scripts/make-msi.sh" "$repo/build/win64" x64 1.0.0 "$older" >/dev/null 2>&1 ||
    fail "cannot make the older package"
check "the older package installs" msi /i "$older"
check "the older package works" works 64
check "the release installs over the older package" msi /i "$dist/$name-x64.msi"
check "the upgrade replaced the older package in place: $(installed_versions 64 | tr '\n' ' ')" \
    test "$(installed_versions 64)" = "$version"
msi /i "$older" && fail "a downgrade was accepted"
check "the downgrade left the newer package alone" test "$(installed_versions 64)" = "$version"
check "the 32-bit package installs beside it" msi /i "$dist/$name-x86.msi"
check "the DLLs are under Program Files" test -f "$WINEPREFIX/drive_c/Program Files/Torvo/Kelmar Bank Paylode/TorvoKelmarBankPaylode.DLL"
check "... and Program Files (x86)" test -f "$WINEPREFIX/drive_c/Program Files (x86)/Torvo/Kelmar Bank Paylode/TorvoKelmarBankPaylode.DLL"
check "the modulus folder beside each DLL holds what third_party/modulus holds" \
    diff -r -x ".*" "$repo/third_party/modulus" "$WINEPREFIX/drive_c/Program Files/Torvo/Kelmar Bank Paylode/modulus"
check "... beside the 32-bit DLL too" \
    diff -r -x ".*" "$repo/third_party/modulus" "$WINEPREFIX/drive_c/Program Files (x86)/Torvo/Kelmar Bank Paylode/modulus"
settings="$WINEPREFIX/drive_c/ProgramData/TORVO/Torvo EBanking"
check "the settings folder is made" test -d "$settings"
# The tool as installed: its version, and an account checked with the
# modulus tables beside it.
installed="$WINEPREFIX/drive_c/Program Files/Torvo/Kelmar Bank Paylode"
installed32="$WINEPREFIX/drive_c/Program Files (x86)/Torvo/Kelmar Bank Paylode"
tool_runs() {  # tool_runs BITS: the installed paylode.exe of that bitness answers
    local run=run64 folder=$installed
    [ "$1" = 32 ] && run=run32 folder=$installed32
    [ "$($run "$folder/paylode.exe" --version)" = "paylode $version" ] &&
        $run "$folder/paylode.exe" check-account 08-99-99 66374958 | grep -q '"result":"valid"'
}
check "paylode.exe is installed beside the 64-bit DLL and runs there" tool_runs 64
check "... beside the 32-bit DLL too" tool_runs 32
check "the 64-bit component works" works 64
check "the 32-bit component works" works 32

# The users' remembered choices.
printf '[MIGRATED]\r\nRICheckState=TRUE\r\nKelmarPaylodeTemplate=STAFF\r\n' >"$settings/BANKSERV.INI"
cp "$settings/BANKSERV.INI" "$work/BANKSERV.INI"

check "the 32-bit package uninstalls" msi /x "$dist/$name-x86.msi"
check "the 64-bit component still works" works 64
check "the 64-bit package uninstalls" msi /x "$dist/$name-x64.msi"
for view in 32 64; do
    for key in 'HKCR\TorvoKelmarBankPaylode.Bank' 'HKCR\CLSID\{D3E2A241-CB54-45CB-A1DC-7327E847421C}' \
        'HKCR\TypeLib\{164B07F1-9E06-417E-8101-DB1118692AC3}'; do
        wine reg query "$key" /reg:$view >/dev/null 2>&1 && fail "left behind in the $view-bit view: $key"
        checks=$((checks + 1))
    done
done
check "no file is left" test -z "$(find "$WINEPREFIX/drive_c/Program Files" "$WINEPREFIX/drive_c/Program Files (x86)" \
    -path '*Kelmar Bank Paylode*' 2>/dev/null)"
check "BANKSERV.INI is kept with its bytes" cmp -s "$settings/BANKSERV.INI" "$work/BANKSERV.INI"

echo "release: $((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
