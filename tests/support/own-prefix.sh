# Shared by the Wine tests that run paylode-host in a Wine prefix and on an
# Xvfb display of their own, so that they run beside the tests of the build
# tree's prefix and touch nothing of theirs. Sourced by a script whose
# arguments start WINE_RUN PAYLODE_HOST_EXE PAYLODE_TOOL; sets wine_run, host
# and tool (absolute), work (a folder removed at exit), prefix (in it, the
# component registered), DISPLAY, and date (a processing date the payment
# options dialog accepts today).
wine_run=$(realpath "$1")
host=$(realpath "$2")
tool=$(realpath "$3")
work=$(mktemp -d)
prefix=$work/prefix
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/needs.sh"
cleanup() {
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
    stop_displays
    rm -rf "$work"
}
trap cleanup EXIT
needs "$tool" "the native paylode tool: build the native preset"
date=$("$tool" calendar "$(date +%F)" | sed -n 's/.*"next":"\([0-9-]*\)".*/\1/p')
[ -n "$date" ] || { echo "FAIL: no processing date from paylode calendar"; exit 1; }
new_display DISPLAY
export DISPLAY
(cd "$work" && "$wine_run" "$prefix" "$host" register >/dev/null 2>&1) || { echo "FAIL: register"; exit 1; }
