#!/usr/bin/env bash
# Runs a Windows program of the tests under Wine.
#   wine-run.sh PREFIX PROGRAM [ARGS...]
# PREFIX is the build tree's own Wine prefix, created on first use (a lock
# makes parallel tests wait for the one creation). The wine server is kept
# alive (-p) so that later programs start in a fraction of a second. Without
# a display the program gets a private Xvfb, since windows need one.
#
# Wine leaves helper processes running (the server, device and desktop
# processes); they must not hold the caller's output open, or CTest would wait
# for them forever. So the program writes to a file that is copied out once
# the program itself has ended.
set -uo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No debugger on a crash (it would wait for a user), no Mono or Gecko installer.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winedbg.exe=d;mscoree,mshtml=}

(
  flock 9
  # The server outlives this block: it must not inherit the lock (fd 9).
  wineserver -p </dev/null >/dev/null 2>&1 9>&- || true  # fails harmlessly when one already runs
  if [ ! -f "$prefix/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 9>&-
  fi
) 9>"$prefix.lock"

runner=()
if [ -z "${DISPLAY:-}" ]; then
  runner=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi
log=$(mktemp)
status=0
"${runner[@]}" wine "$@" </dev/null >"$log" 2>&1 || status=$?
cat "$log"
rm -f "$log"
exit "$status"
