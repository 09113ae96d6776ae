#!/usr/bin/env bash
# The demo command: installs what is needed, builds everything, and runs the
# main job as far as it goes today: the payment file for a small batch in
# each format with every payment's status, the banking calendar around
# Christmas, the processing-date checks, a statement file read as the import
# reads it, and the two DLLs with their exports.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"

bash scripts/install-deps.sh
for preset in "${presets[@]}"; do
  echo "=== building $preset"
  build_preset "$preset" >/dev/null
done

paylode=build/native/bin/paylode
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
show() { echo; echo "\$ paylode $*"; "$paylode" "$@" || echo "(exit status $?)"; }

echo
echo "=== paylode --help"
"$paylode" --help

echo
echo "=== the batch (tests/cli/export/batch.csv)"
cat tests/cli/export/batch.csv
cp tests/cli/export/batch.csv "$work/"
for format in 0 1 2 3; do
  echo
  echo "=== payment file, format $format"
  args=(export "$work/batch.csv" --format "$format" --date 2024-03-05 --today 2024-03-01
        --out "$work/payments-$format.txt" --statuses "$work/statuses-$format.txt")
  [ "$format" = 1 ] || [ "$format" = 2 ] && args+=(--template "Staff pay")
  [ "$format" = 2 ] || [ "$format" = 3 ] && args+=(--reference "Ben ref")
  "$paylode" "${args[@]}" || echo "(exit status $?: some payments failed the bank's checks)"
  echo "--- $(basename "$work/payments-$format.txt") (CR LF shown as ^M\$)"
  cat -A "$work/payments-$format.txt"
  echo "--- statuses"
  cat "$work/statuses-$format.txt"
done
echo "--- bulk list template file written beside the format 2 file"
cat -A "$work/STAFF PAY"

echo
echo "=== banking calendar, 23 December 2020 to 4 January 2021"
show calendar 2020-12-23 2021-01-04
echo
echo "=== processing-date checks"
show check-date 2024-03-05 --today 2024-03-01
show check-date 2024-03-09 --today 2024-03-01
show check-date 2024-04-29 --today 2024-03-01

echo
echo "=== statement file (tests/cli/sample-statement.csv)"
show statement tests/cli/sample-statement.csv
show statement tests/cli/sample-statement.csv --sort-code 12-34-56 --account 12345678

echo
for bits in 32 64; do
  triple=$([ $bits = 32 ] && echo i686-w64-mingw32 || echo x86_64-w64-mingw32)
  dll=build/win$bits/bin/TorvoKelmarBankPaylode.DLL
  echo "=== $dll ($bits-bit, $(stat -c %s "$dll") bytes): exports and imported DLLs"
  "$triple-objdump" -p "$dll" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p'
  "$triple-objdump" -p "$dll" | sed -n 's/^[[:space:]]*DLL Name: /imports /p'
done
