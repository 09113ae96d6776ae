#!/usr/bin/env bash
# Checks the shipped DLL from outside: among its imports only system DLLs
# (the runtime is linked in statically), and not DisableThreadLibraryCalls,
# which would stop the thread notifications through which that runtime
# frees what it keeps for each thread; the four COM server exports at
# ordinals 1 to 4.
#   check-dll.sh OBJDUMP DLL
set -euo pipefail
objdump=$1
dll=$2
dump=$("$objdump" -p "$dll")

allowed='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|shlwapi|comctl32|comdlg32|msvcrt)\.dll$'
status=0
imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || { echo "no imports found in $dll"; exit 1; }
while read -r name; do
  if ! printf '%s\n' "$name" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
    echo "not a system DLL: $name"
    status=1
  fi
done <<<"$imports"
if grep -qw DisableThreadLibraryCalls <<<"$dump"; then
  echo "imports DisableThreadLibraryCalls: the static runtime's per-thread clean-up would not run"
  status=1
fi

# Rows of the "[Ordinal/Name Pointer] Table" read "[   0] +base[   1] 0000 Name"
# (newer binutils) or "[   0] Name", where the first number is the ordinal
# less the table's "Ordinal Base".
expected="1 DllCanUnloadNow
2 DllGetClassObject
3 DllRegisterServer
4 DllUnregisterServer"
actual=$(printf '%s\n' "$dump" | awk '
  /Ordinal Base/ { base = $NF }
  /^\[Ordinal\/Name Pointer\] Table/ { inTable = 1; next }
  inTable && /^[[:space:]]*\[/ {
    ord = $0; sub(/^[[:space:]]*\[[[:space:]]*/, "", ord); sub(/\].*/, "", ord)
    print ord + base, $NF
    next
  }
  inTable { inTable = 0 }' | sort -n)
if [ "$actual" != "$expected" ]; then
  echo "exports differ:"
  echo "expected:"; echo "$expected"
  echo "actual:"; echo "$actual"
  status=1
fi
echo "imports: $(echo $imports)"
[ $status -eq 0 ] && echo "exports: ordinals 1-4 as expected"
exit $status
