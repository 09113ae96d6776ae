#!/usr/bin/env bash
# A host that runs all day, at length: RUNS payment runs with the dialog and
# RUNS statement imports (default 1000 each), each command in one
# paylode-host process, in each bitness named (default both), with the
# bounds of the test host_soak: from the tenth run to the last, heap bytes
# may grow by 64 KiB and handles by 2 at most. Prints each command's heap
# bytes and handles at the first, the tenth and the last run. Not part of
# the test command: 1000 runs of each take several minutes per bitness.
#   bash scripts/soak.sh [RUNS] [win32|win64]...
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"
runs=${1:-1000}
shift $(($# > 0 ? 1 : 0))
soaked=("$@")
[ ${#soaked[@]} -gt 0 ] || soaked=(win32 win64)

# The native tool gives the processing date the dialog accepts today.
{ cmake --preset native >/dev/null && cmake --build --preset native --target paylode; } || exit 1
for preset in "${soaked[@]}"; do
  { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" --target paylode-host; } || exit 1
done

status=0
for preset in "${soaked[@]}"; do
  echo "=== $preset: $runs payment runs and $runs imports"
  bash tests/referencehost/soak-test.sh cmake/wine-run.sh "build/$preset/bin/paylode-host.exe" \
    build/native/bin/paylode "$runs" || status=1
done
exit $status
