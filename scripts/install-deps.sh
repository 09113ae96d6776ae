#!/usr/bin/env bash
# Installs everything the builds, the tests and the demo need, from Debian's
# package mirror only. Packages already installed are skipped, so a second
# run costs a few seconds. Given package names, installs those instead (the
# benchmark command needs fewer).
set -euo pipefail

packages=(
  cmake ninja-build pkg-config python3
  clang clang-tidy libclang-rt-14-dev llvm
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev libcsv-dev libutfcpp-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine wine64 wine64-tools wine32:i386
  xvfb xauth
  wixl osslsigncode zip unzip openssl jq
)
if [ $# -gt 0 ]; then packages=("$@"); fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

updated=no
if [[ " ${packages[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  as_root apt-get update -q
  updated=yes
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi
echo "dependencies ready (apt-get update run: $updated)"
