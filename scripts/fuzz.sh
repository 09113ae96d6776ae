#!/usr/bin/env bash
# Longer fuzzing by hand: every fuzz target of the statement reader for
# SECONDS each, starting from the corpus in the repository, under the
# native build's sanitizers. Prints the inputs each target ran and fails on
# any finding (the failing input is kept in the target's work folder).
#   bash scripts/fuzz.sh SECONDS [--merge]
# New inputs go to build/native/fuzz/<target>/corpus. With --merge, those
# that reach code the repository's corpus does not are minimised into it
# (tests/fuzz/<target>/corpus), to be committed.
# PAYLODE_FUZZ_JOBS=2 runs two targets at a time.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"

seconds=${1:-}
merge=${2:-}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || { [ -n "$merge" ] && [ "$merge" != --merge ]; }; then
  echo "usage: bash scripts/fuzz.sh SECONDS [--merge]" >&2
  exit 2
fi
jobs=${PAYLODE_FUZZ_JOBS:-1}
targets=(line date amount file)

bash scripts/install-deps.sh cmake ninja-build clang libclang-rt-14-dev llvm googletest \
  libcli11-dev nlohmann-json3-dev libcsv-dev libutfcpp-dev || exit 1
cmake --preset native -S "$repo" >/dev/null || exit 1
cmake --build --preset native --target "${targets[@]/#/fuzz_}" || exit 1

bin=$repo/build/native/bin
work=$repo/build/native/fuzz
fuzz_one() {
  local name=$1
  bash tests/fuzz/run-fuzzer.sh "$bin/fuzz_$name" "tests/fuzz/$name/corpus" "tests/fuzz/$name.dict" \
    "$work/$name" "$seconds" >"$work/$name.summary" 2>&1
  echo $? >"$work/$name.status"
}

mkdir -p "$work"
running=0
for name in "${targets[@]}"; do
  fuzz_one "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

failed=()
for name in "${targets[@]}"; do
  status=$(cat "$work/$name.status")
  inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name.summary")
  per_second=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$name.summary")
  added=$(find "$work/$name/corpus" -type f | wc -l)
  if [ "$status" != 0 ]; then
    failed+=("$name")
    echo "fuzz_$name: FAILED (status $status), see $work/$name"
    tail -n 20 "$work/$name.summary"
    continue
  fi
  echo "fuzz_$name: ${inputs:-?} inputs in $seconds s (${per_second:-?}/s), $added new inputs, no finding"
  if [ "$merge" = --merge ] && [ "$added" -gt 0 ]; then
    before=$(find "tests/fuzz/$name/corpus" -type f | wc -l)
    "$bin/fuzz_$name" -merge=1 -max_len=4096 "tests/fuzz/$name/corpus" "$work/$name/corpus" \
      >"$work/$name.merge.log" 2>&1 || { echo "fuzz_$name: merge failed"; failed+=("$name merge"); continue; }
    after=$(find "tests/fuzz/$name/corpus" -type f | wc -l)
    echo "fuzz_$name: $((after - before)) inputs added to tests/fuzz/$name/corpus"
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "FAILED: ${failed[*]}"; exit 1; }
