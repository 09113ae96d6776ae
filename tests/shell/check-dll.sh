#!/usr/bin/env bash
# Checks the shipped DLL and programs from outside: among the imports of
# each only system DLLs (the runtime is linked in statically). Of a DLL
# also: not DisableThreadLibraryCalls, which would stop the thread
# notifications through which that runtime frees what it keeps for each
# thread; the four COM server exports at ordinals 1 to 4.
#   check-dll.sh OBJDUMP FILE...
set -euo pipefail
objdump=$1
shift

allowed='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|shlwapi|comctl32|comdlg32|msvcrt)\.dll$'
# Rows of the "[Ordinal/Name Pointer] Table" read "[   0] +base[   1] 0000 Name"
# (newer binutils) or "[   0] Name", where the first number is the ordinal
# less the table's "Ordinal Base".
expected="1 DllCanUnloadNow
2 DllGetClassObject
3 DllRegisterServer
4 DllUnregisterServer"
status=0
for file in "$@"; do
  name=$(basename "$file")
  dump=$("$objdump" -p "$file")
  imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$imports" ] || { echo "$name: no imports found"; status=1; continue; }
  while read -r import; do
    if ! printf '%s\n' "$import" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "$name: not a system DLL: $import"
      status=1
    fi
  done <<<"$imports"
  echo "$name: imports: $(echo $imports)"
  case $(printf '%s' "$name" | tr 'A-Z' 'a-z') in
  *.dll) ;;
  *) continue ;;
  esac

  if grep -qw DisableThreadLibraryCalls <<<"$dump"; then
    echo "$name: imports DisableThreadLibraryCalls: the static runtime's per-thread clean-up would not run"
    status=1
  fi
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
    echo "$name: exports differ:"
    echo "expected:"; echo "$expected"
    echo "actual:"; echo "$actual"
    status=1
  else
    echo "$name: exports: ordinals 1-4 as expected"
  fi
done
exit $status
