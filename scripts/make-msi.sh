#!/usr/bin/env bash
# Builds the installer package of one bitness of the bank component.
#   make-msi.sh BUILD_DIR ARCH VERSION OUT.msi [DLL [EXE]]
# BUILD_DIR is a Windows build tree (build/win32 or build/win64) with
# bin/TorvoKelmarBankPaylode.DLL, bin/paylode.exe and
# bin/paylode-msi-registry.exe of the bitness that ARCH (x86 or x64) names;
# VERSION is the package's ProductVersion (major.minor.build, optionally a
# fourth field that Windows Installer ignores when it compares versions).
# DLL is the component and EXE the paylode tool that the package carries,
# when not the build tree's own (the release's signed copies).
#
# The registration rows are read from the DLL itself by paylode-msi-registry,
# run under Wine in the build tree's prefix (BUILD_DIR/wineprefix, made on
# first use), and the package is built by wixl from
# resources/msi/TorvoKelmarBankPaylode.wxs, with paylode.exe and
# third_party/modulus as the "modulus" folder beside the DLL.
set -euo pipefail
if [ $# -lt 4 ] || [ $# -gt 6 ]; then
    echo "usage: make-msi.sh BUILD_DIR x86|x64 VERSION OUT.msi [DLL [EXE]]" >&2
    exit 2
fi
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$1" && pwd)
arch=$2
version=$3
out=$4
case $arch in
    x64) loader=/usr/lib/wine/wine64 ;;
    x86) loader=wine ;;
    *) echo "make-msi.sh: ARCH is x86 or x64, not '$arch'" >&2; exit 2 ;;
esac
# Windows Installer's limits: major and minor at most 255, build at most 65535.
if ! [[ $version =~ ^([0-9]{1,3})\.([0-9]{1,3})\.([0-9]{1,5})(\.[0-9]{1,5})?$ ]] ||
    [ "${BASH_REMATCH[1]}" -gt 255 ] || [ "${BASH_REMATCH[2]}" -gt 255 ] || [ "${BASH_REMATCH[3]}" -gt 65535 ]; then
    echo "make-msi.sh: '$version' is no package version (major.minor.build, at most 255.255.65535)" >&2
    exit 2
fi
dll=$build_dir/bin/TorvoKelmarBankPaylode.DLL
[ $# -ge 5 ] && dll=$(realpath "$5")
exe=$build_dir/bin/paylode.exe
[ $# -ge 6 ] && exe=$(realpath "$6")
tool=$build_dir/bin/paylode-msi-registry.exe
for file in "$dll" "$exe" "$tool"; do
    [ -f "$file" ] || { echo "make-msi.sh: $file is missing: build $build_dir first" >&2; exit 1; }
done
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$source_dir/resources/msi/TorvoKelmarBankPaylode.wxs" "$stage/"
cp "$dll" "$stage/TorvoKelmarBankPaylode.DLL"
cp "$exe" "$stage/paylode.exe"

# The modulus folder beside the DLL: every file of third_party/modulus (the
# tables keep their published names, which change with their version), one
# component, listed for the package in modulus.wxi.
mkdir "$stage/modulus"
cp "$source_dir"/third_party/modulus/* "$stage/modulus/"
{
    echo '<Include>'
    echo '  <Directory Id="ModulusFolder" Name="modulus">'
    echo '    <Component Id="ComponentModulus" Guid="$(var.ModulusGuid)" Win64="$(var.Win64)">'
    number=0
    for file in "$stage"/modulus/*; do
        name=$(basename "$file")
        number=$((number + 1))
        keypath=
        [ "$name" = bank-closures.txt ] && keypath=' KeyPath="yes"'
        echo "      <File Id=\"Modulus$number\" Name=\"$name\" Source=\"modulus/$name\"$keypath/>"
    done
    echo '    </Component>'
    echo '  </Directory>'
    echo '</Include>'
} >"$stage/modulus.wxi"

# The DLL as Wine's Z: drive shows it.
windows_dll="Z:${dll//\//\\}"
if ! PAYLODE_STDERR="$stage/registry.err" PAYLODE_WINE=$loader \
    "$source_dir/cmake/wine-run.sh" "$build_dir/wineprefix" "$tool" "$windows_dll" PaylodeDll \
    >"$stage/registry.wxi"; then
    echo "make-msi.sh: paylode-msi-registry failed:" >&2
    cat "$stage/registry.err" "$stage/registry.wxi" >&2
    exit 1
fi
# The rows are of the tool's bitness (the build tree's): they must be ARCH's.
win64=no
[ "$arch" = x64 ] && win64=yes
if ! grep -q "Id=\"ComponentRegistration\".* Win64=\"$win64\"" "$stage/registry.wxi"; then
    echo "make-msi.sh: $build_dir is not a build of the $arch bitness" >&2
    exit 1
fi
# wixl finds the include and the DLL by names relative to its working folder.
(cd "$stage" && wixl -a "$arch" -D Arch="$arch" -D Version="$version" -o "$stage/package.msi" \
    TorvoKelmarBankPaylode.wxs)
mv "$stage/package.msi" "$out"
echo "$out"
