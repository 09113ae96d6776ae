# Sourced by the script tests that use another build tree than their own
# (the native tool, the other bitness's DLL): scripts/test.sh builds every
# tree first, but a test run alone may find one missing.
#   needs FILE WHAT: when FILE is missing, says which WHAT would make it and
#   ends the test as skipped (exit status 77, the tests' SKIP_RETURN_CODE);
#   with PAYLODE_NO_SKIP set (scripts/test.sh), it fails instead.
needs() {
    [ -e "$1" ] && return 0
    local verdict=SKIP status=77
    [ -n "${PAYLODE_NO_SKIP:-}" ] && verdict=FAIL status=1
    echo "$verdict: $1 is missing: $2 (bash scripts/test.sh builds every tree)"
    exit "$status"
}
