#!/usr/bin/env bash
# The test command: installs what is needed, then builds and runs the suites
# of the stages named, or of every stage when none is:
#   native   the core, the tool and the fuzzers (clang, ASan and UBSan)
#   tsan     two statement imports at once under ThreadSanitizer
#   win32    the 32-bit DLL under Wine
#   win64    the 64-bit DLL under Wine, both bitnesses side by side, and the
#            packages' registry against regsvr32's
#   release  the release made from the tested win32 and win64 trees, signed
#            with a throwaway CA, installed, upgraded and removed under Wine
#   bash scripts/test.sh [native] [tsan] [win32] [win64] [release]
# A stage builds the trees its tests use (win32 and win64 use the native
# tool, win64 also the win32 build). The builds run one after another, each
# on every core; then the stages' tests run at once, each Windows stage
# under its own Xvfb display and in its own Wine prefixes, since Wine's
# tests wait far more than they compute. Each stage's output is printed
# whole when it ends. At the end one line per stage gives its times, and
# every wine server the run started is stopped.
# Exits non-zero when any build or suite fails, is skipped or runs no test.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"

all_stages=(native tsan win32 win64 release)
stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=("${all_stages[@]}")
for stage in "${stages[@]}"; do
  [[ " ${all_stages[*]} " == *" $stage "* ]] ||
    { echo "test.sh: no stage '$stage' (stages: ${all_stages[*]})" >&2; exit 2; }
done

started=$(date +%s)
bash scripts/install-deps.sh || exit 1

# ---- the builds the stages need, in this order --------------------------------
declare -A uses=([native]="native" [tsan]="tsan" [win32]="native win32"
  [win64]="native win32 win64" [release]="win32 win64")
builds=()
for build in native win32 win64 tsan; do
  for stage in "${stages[@]}"; do
    if [[ " ${uses[$stage]} " == *" $build "* ]]; then builds+=("$build"); break; fi
  done
done

logs=$repo/build/test-logs
rm -rf "$logs"
mkdir -p "$logs"
# Every check runs: a test that finds another build tree missing fails here
# rather than being skipped; Wine's own launch failures are counted.
export PAYLODE_NO_SKIP=1 PAYLODE_WINE_RETRIES=$logs/wine-retries
: >"$PAYLODE_WINE_RETRIES"

prefixes=()
for build in "${builds[@]}"; do
  [[ $build == win* ]] && prefixes+=("$repo/build/$build/wineprefix")
done
stop_wine() {
  local prefix
  for prefix in "${prefixes[@]}"; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
  done
  stop_displays
}
trap stop_wine EXIT

# The Windows stages' prefixes are copied from one booted while the code
# compiles.
if [ ${#prefixes[@]} -gt 0 ]; then
  (for prefix in "${prefixes[@]}"; do cmake/wine-prefix.sh "$prefix"; done) >"$logs/prefixes.log" 2>&1 &
  prefixes_made=$!
fi

declare -A build_time build_ok
for build in "${builds[@]}"; do
  echo "=== $build: build"
  begin=$(date +%s)
  if build_preset "$build"; then build_ok[$build]=yes; else build_ok[$build]=no; fi
  build_time[$build]=$(($(date +%s) - begin))
done
if [ -n "${prefixes_made:-}" ] && ! wait "$prefixes_made"; then
  cat "$logs/prefixes.log"
  echo "FAILED: the Wine prefixes"
  exit 1
fi

# ---- the stages' tests, all at once --------------------------------------------
# run_stage STAGE: the stage's tests, into build/test-logs/STAGE.log.
run_stage() {
  case $1 in
    native) ctest --preset native -j 2 ;;
    tsan) ctest --preset tsan ;;
    win32 | win64)
      # Two at once, the longest first (their COST, tests/CMakeLists.txt):
      # three at once leave the two stages short of cores. The fault
      # campaign's count of runs, and of runs made again after a stall of
      # Wine's, shown even when it passes.
      ctest --preset "$1" -j 2
      local status=$?
      grep -h '^fault campaign: .* faulted runs' "build/$1/Testing/Temporary/LastTest.log"
      return $status ;;
    release) bash tests/release/release-test.sh ;;
  esac
}
declare -A stage_result
running=()
for stage in "${stages[@]}"; do
  missing=
  for build in ${uses[$stage]}; do
    [ "${build_ok[$build]}" = yes ] || missing+=" $build"
  done
  if [ -n "$missing" ]; then
    stage_result[$stage]="FAILED (build:$missing)"
    continue
  fi
  display=${DISPLAY:-}
  [[ $stage == native || $stage == tsan ]] || new_display display
  (
    begin=$(date +%s)
    DISPLAY=$display run_stage "$stage" >"$logs/$stage.log" 2>&1
    status=$?
    echo "$(($(date +%s) - begin))" >"$logs/$stage.time"
    echo "$status" >"$logs/$stage.status"
  ) &
  running+=("$stage")
done
echo "=== tests of ${running[*]}, at once; each stage's output follows when it ends"

# Each stage's output as it ends.
while [ ${#running[@]} -gt 0 ]; do
  sleep 1
  still=()
  for stage in "${running[@]}"; do
    if [ ! -f "$logs/$stage.status" ]; then still+=("$stage"); continue; fi
    echo "=== $stage: tests ($(cat "$logs/$stage.time") s)"
    cat "$logs/$stage.log"
    [ "$(cat "$logs/$stage.status")" = 0 ] && stage_result[$stage]=passed || stage_result[$stage]="FAILED (tests)"
  done
  running=("${still[@]}")
done
stop_wine

# ---- one line per stage --------------------------------------------------------
echo
echo "=== times: the builds one after another, then every stage's tests at once"
passed=0 failed=0
for stage in "${stages[@]}"; do
  build=
  [ -n "${build_time[$stage]:-}" ] && build="build ${build_time[$stage]} s, "
  printf '%-8s %-22s %stests %s s\n' "$stage" "${stage_result[$stage]}" "$build" \
    "$(cat "$logs/$stage.time" 2>/dev/null || echo 0)"
  [ "${stage_result[$stage]}" = passed ] && passed=$((passed + 1)) || failed=$((failed + 1))
done
# The trees built for another stage's tests only (win64's use of win32).
for build in "${builds[@]}"; do
  [[ " ${stages[*]} " == *" $build "* ]] || echo "built for the other stages: $build ${build_time[$build]} s"
done
echo "Wine launches made once more after Wine's own launch error: $(wc -l <"$PAYLODE_WINE_RETRIES")"
echo "total $(($(date +%s) - started)) s"
echo "stages: $passed passed, $failed failed"
[ "$failed" = 0 ]
