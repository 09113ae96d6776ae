#!/usr/bin/env bash
# Runs a Windows program of the tests under Wine.
#   wine-run.sh PREFIX PROGRAM [ARGS...]
# PREFIX is the build tree's own Wine prefix, made on first use by
# wine-prefix.sh (a copy of a prefix booted once; a lock makes parallel tests
# wait for the one copy). The wine server is kept alive (-p) so that later
# programs start in a fraction of a second; `wineserver -k` with WINEPREFIX
# set stops it (scripts/test.sh does at its end). Without a display the
# program gets a private Xvfb, since windows need one.
#
# Wine leaves helper processes running (the server, device and desktop
# processes); they must not hold the caller's output open, or CTest would wait
# for them forever. So the program writes to a file that is copied out once
# the program itself has ended. With PAYLODE_STDERR set to a file, the
# program's standard error goes there, apart from its standard output.
# PAYLODE_WINE names another loader: /usr/lib/wine/wine64 runs the 64-bit
# built-in programs (regsvr32, cscript) where plain `wine` runs the 32-bit
# ones, even for C:\windows\system32 paths.
# A 64-bit program file is started by plain `wine` too, which hands it on to
# the 64-bit loader (about 50 ms of CPU more a launch): started by wine64
# itself, a launch once ended with status 1 and no output at all, which the
# retry below cannot tell from a program that ran.
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
  [ -f "$prefix/system.reg" ] || "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$prefix" 9>&- || exit 1
  wineserver -p </dev/null >/dev/null 2>&1 9>&- || true  # fails harmlessly when one already runs
) 9>"$prefix.lock" || exit 1

runner=()
if [ -z "${DISPLAY:-}" ]; then
  runner=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi
log=$(mktemp)
errors=${PAYLODE_STDERR:-$log}
# Now and then Wine fails to start a program at all, for reasons of its own
# (seen once in about a hundred launches on a fresh machine): instead of the
# program's output it prints its own launch error. Such a launch is made
# once more, said on standard error and counted in PAYLODE_WINE_RETRIES
# (a file, one line a retry) when that is set. A program that ran is never
# run again, whatever its exit status or output.
launch_error='ShellExecuteEx failed'
for attempt in 1 2; do
  status=0
  if [ "$errors" = "$log" ]; then
    "${runner[@]}" "${PAYLODE_WINE:-wine}" "$@" </dev/null >"$log" 2>&1 || status=$?
  else
    "${runner[@]}" "${PAYLODE_WINE:-wine}" "$@" </dev/null >"$log" 2>"$errors" || status=$?
  fi
  [ "$attempt" = 1 ] && grep -qs "$launch_error" "$log" "$errors" || break
  echo "wine-run.sh: Wine could not start $1 ($launch_error); starting it once more" >&2
  [ -n "${PAYLODE_WINE_RETRIES:-}" ] && echo "$1" >>"$PAYLODE_WINE_RETRIES"
done
cat "$log"
rm -f "$log"
exit "$status"
