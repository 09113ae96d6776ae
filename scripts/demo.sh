#!/usr/bin/env bash
# The demo command: installs what is needed, builds everything, and shows the
# main job as far as it goes today: the paylode tool and the two DLLs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"

bash scripts/install-deps.sh
for preset in "${presets[@]}"; do
  echo "=== building $preset"
  build_preset "$preset" >/dev/null
done

echo
echo "=== paylode --help"
build/native/bin/paylode --help
echo
for bits in 32 64; do
  triple=$([ $bits = 32 ] && echo i686-w64-mingw32 || echo x86_64-w64-mingw32)
  dll=build/win$bits/bin/TorvoKelmarBankPaylode.DLL
  echo "=== $dll ($bits-bit): exports and imported DLLs"
  "$triple-objdump" -p "$dll" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p'
  "$triple-objdump" -p "$dll" | sed -n 's/^[[:space:]]*DLL Name: /imports /p'
done
