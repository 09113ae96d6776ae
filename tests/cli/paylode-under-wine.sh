#!/usr/bin/env bash
# paylode.exe under Wine for the tool's command tests, which take the tool's
# path: run in the build tree's Wine prefix, its standard output and standard
# error kept apart as a native program's are, its exit status passed on.
#   PAYLODE_TOOL_EXE=.../paylode.exe PAYLODE_TOOL_WINEPREFIX=PREFIX paylode-under-wine.sh ARGS...
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
errors=$(mktemp)
PAYLODE_STDERR=$errors "$here/../../cmake/wine-run.sh" "$PAYLODE_TOOL_WINEPREFIX" "$PAYLODE_TOOL_EXE" "$@"
status=$?
cat "$errors" >&2
rm -f "$errors"
exit "$status"
