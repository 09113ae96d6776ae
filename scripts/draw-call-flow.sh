#!/usr/bin/env bash
# The README's picture of how a call flows through the folders: draws
# docs/call-flow.svg from its text source docs/call-flow.dot with Graphviz,
# which it installs from Debian's mirror when missing. Run it after changing
# the source, and commit both files.
#   bash scripts/draw-call-flow.sh
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
command -v dot >/dev/null || bash "$repo/scripts/install-deps.sh" graphviz
dot -Tsvg "$repo/docs/call-flow.dot" -o "$repo/docs/call-flow.svg"
echo "drawn: docs/call-flow.svg"
