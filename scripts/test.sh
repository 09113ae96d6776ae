#!/usr/bin/env bash
# The test command: installs what is needed, then builds and runs every
# suite: native (core under ASan and UBSan), tsan (two statement imports at
# once under ThreadSanitizer), win32 and win64 (under Wine), then the
# release's packages under Wine.
# Exits non-zero when any build or suite fails or runs no test.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"

bash scripts/install-deps.sh || exit 1
start_display

# The ThreadSanitizer build holds the core and one test only; it runs right
# after the native suite.
suites=("${presets[0]}" tsan "${presets[@]:1}")

failed=()
for preset in "${suites[@]}"; do
  echo "=== $preset: build"
  if ! build_preset "$preset"; then failed+=("$preset (build)"); continue; fi
  echo "=== $preset: test"
  ctest --preset "$preset" || failed+=("$preset (tests)")
done

# The release as an administrator meets it: packages built, signed with a
# throwaway CA, installed, upgraded and removed under Wine.
echo "=== release: build and test"
bash tests/release/release-test.sh || failed+=("release")

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all suites passed: ${suites[*]} release"
