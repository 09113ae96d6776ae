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
# the program itself has ended. With PAYLODE_STDERR set to a file, the
# program's standard error goes there, apart from its standard output.
# PAYLODE_WINE names another loader: /usr/lib/wine/wine64 runs the 64-bit
# built-in programs (regsvr32, cscript) where plain `wine` runs the 32-bit
# ones, even for C:\windows\system32 paths.
set -uo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No debugger on a crash (it would wait for a user), no Mono or Gecko installer.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winedbg.exe=d;mscoree,mshtml=}

# The lock's descriptor is closed for every process started under it: the
# wine server lives on after this script, and a server holding the lock would
# make every later program of this prefix wait for it forever.
(
  flock 9
  wineserver -p </dev/null >/dev/null 2>&1 9>&- || true  # fails harmlessly when one already runs
  if [ ! -f "$prefix/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 9>&-
  fi
  # Windows unmanaged by the X server: without a window manager (Xvfb has
  # none) Wine waits two seconds for one whenever a window is hidden, which
  # made every message box and dialog of the tests cost seconds.
  if [ ! -f "$prefix/.unmanaged-windows" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 9>&- &&
      touch "$prefix/.unmanaged-windows"
  fi
) 9>"$prefix.lock"

runner=()
if [ -z "${DISPLAY:-}" ]; then
  runner=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi
log=$(mktemp)
status=0
if [ -n "${PAYLODE_STDERR:-}" ]; then
  "${runner[@]}" "${PAYLODE_WINE:-wine}" "$@" </dev/null >"$log" 2>"$PAYLODE_STDERR" || status=$?
else
  "${runner[@]}" "${PAYLODE_WINE:-wine}" "$@" </dev/null >"$log" 2>&1 || status=$?
fi
cat "$log"
rm -f "$log"
exit "$status"
