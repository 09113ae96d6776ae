#!/usr/bin/env bash
# The release, made from the Windows build trees that the test command tests
# (build/win32 and build/win64, optimised; built here when they are not yet)
# and, in dist/,
#   TorvoKelmarBankPaylode-<version>-x86.msi, ...-x64.msi  the packages
#   TorvoKelmarBankPaylode-<version>.zip   x86/ and x64/ (the DLL, the paylode
#                                          tool, the modulus tables,
#                                          paylode-host and the reference
#                                          host DLL) and
#                                          the administrator's guide (CR LF)
#                                          and CHANGELOG.md, which must hold
#                                          an entry for the version
#   SHA256SUMS                             over every other file in dist/
# The version is the project's (CMakeLists.txt). With PAYLODE_SIGN_PFX (and
# PAYLODE_SIGN_PASSWORD) set, every DLL, EXE and MSI is signed with
# osslsigncode (SHA-256), with a timestamp only when
# PAYLODE_SIGN_TIMESTAMP_URL is set; without them nothing is signed, and the
# release says so. Signing works on copies in a staging folder: the build
# trees keep exactly what was tested, which the release test checks byte for
# byte. Installs what it needs from Debian's mirror.
#   bash scripts/release.sh [DIST_DIR]       (default dist/)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"
dist=$(realpath -m "${1:-$repo/dist}")
started=$(date +%s)

bash scripts/install-deps.sh

# ---- the tested trees of both bitnesses (nothing to do when they are built) ----
declare -A arch_of=([win32]=x86 [win64]=x64)
targets=(TorvoKelmarBankPaylode paylode TorvoReferenceHost paylode-host paylode-msi-registry)
for preset in win32 win64; do
    echo "=== $preset: build"
    [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target "${targets[@]}"
done
version=$(cat build/win64/version.txt)
name="TorvoKelmarBankPaylode-$version"

# ---- signing ---------------------------------------------------------------------
signing=no
if [ -n "${PAYLODE_SIGN_PFX:-}" ]; then
    signing=yes
fi
# sign FILE: signs FILE in place when signing is configured.
sign() {
    [ "$signing" = yes ] || return 0
    local options=(-pkcs12 "$PAYLODE_SIGN_PFX" -h sha256 -n "Kelmar Bank Paylode bank component")
    [ -n "${PAYLODE_SIGN_PASSWORD:-}" ] && options+=(-pass "$PAYLODE_SIGN_PASSWORD")
    [ -n "${PAYLODE_SIGN_TIMESTAMP_URL:-}" ] && options+=(-ts "$PAYLODE_SIGN_TIMESTAMP_URL")
    osslsigncode sign "${options[@]}" -in "$1" -out "$1.signed" >/dev/null
    mv "$1.signed" "$1"
    echo "signed $(basename "$1")"
}

# ---- the files of each bitness, the packages, the zip ------------------------------
rm -rf "$dist"
mkdir -p "$dist"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for preset in win32 win64; do
    arch=${arch_of[$preset]}
    bin="build/$preset/bin"
    mkdir -p "$stage/$name/$arch"
    for file in TorvoKelmarBankPaylode.DLL paylode.exe paylode-host.exe TorvoReferenceHost.dll; do
        cp "$bin/$file" "$stage/$name/$arch/"
        sign "$stage/$name/$arch/$file"
    done
    # The published modulus tables and the table of bank closures, which
    # paylode.exe and paylode-host pay --check-accounts read beside them.
    cp -r "$bin/modulus" "$stage/$name/$arch/"
    # The package carries the signed DLL and tool.
    bash scripts/make-msi.sh "build/$preset" "$arch" "$version" "$dist/$name-$arch.msi" \
        "$stage/$name/$arch/TorvoKelmarBankPaylode.DLL" "$stage/$name/$arch/paylode.exe"
    sign "$dist/$name-$arch.msi"
done
sed 's/$/\r/' docs/administrators-guide.txt >"$stage/$name/README-ADMINISTRATORS.txt"
grep -q "^## \[$version\]" CHANGELOG.md || { echo "release.sh: CHANGELOG.md has no entry for $version" >&2; exit 1; }
cp CHANGELOG.md "$stage/$name/CHANGELOG.md"
(cd "$stage/$name" && zip -q -r -X "$dist/$name.zip" x86 x64 README-ADMINISTRATORS.txt CHANGELOG.md)

(cd "$dist" && sha256sum -- *.msi *.zip >SHA256SUMS && sha256sum -c --quiet SHA256SUMS)

echo "=== release $version in $dist ($(($(date +%s) - started)) s)"
(cd "$dist" && ls -l -- *)
if [ "$signing" = yes ]; then
    echo "every DLL, EXE and MSI is signed"
else
    echo "not signed: PAYLODE_SIGN_PFX is not set"
fi
