#!/usr/bin/env bash
# The documentation's pictures of the payment options dialog: builds the
# win64 picture program, shows the real dialog under Wine on a display of its
# own (Xvfb) in each of its states, and writes the PNG files to docs/
# (dialog-format0.png ... dialog-format3.png, dialog-ireland.png,
# dialog-iat.png, dialog-account-check.png, dialog-exported-before.png). Needs the test dependencies
# (scripts/install-deps.sh) and python3, which it installs from Debian's
# mirror when missing.
#   bash scripts/screenshots.sh
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"

if ! command -v python3 >/dev/null; then
  apt-get install -y python3-minimal >/dev/null || exit 1
fi

start_display
cmake --preset win64 >/dev/null || exit 1
cmake --build --preset win64 --target paylode_dialog_screenshots || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"; stop_displays' EXIT
cmake/wine-run.sh "$repo/build/win64/wineprefix" build/win64/bin/paylode_dialog_screenshots.exe "Z:$work" || exit 1

mkdir -p docs
for bmp in "$work"/*.bmp; do
  name=$(basename "$bmp" .bmp)
  python3 scripts/bmp-to-png.py "$bmp" "docs/dialog-$name.png" || exit 1
  echo "docs/dialog-$name.png"
done
