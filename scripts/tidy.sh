#!/usr/bin/env bash
# clang-tidy over the product's C++ sources with the checks of .clang-tidy,
# as one build tree compiles them (its compile_commands.json):
#   a native tree   the portable core and the tool's batch reader
#   a MinGW tree    the Windows layer (the core's Windows halves, combase/,
#                   shell/, payments/win/, statements/win/, cli/win/,
#                   referencehost/),
#                   read with the MinGW-w64 compiler's own headers
# Tests, benchmarks and tools are not held to it. Nor are the command-line
# files compiled in unity batches (cli/ but BatchCsv.cpp, and the reference
# host's program/): the compilation database names only their batches, and
# each of them costs clang-tidy some 9 s of CPU in the CLI11 and
# nlohmann-json headers, more than the rest of a tree together. Prints every
# finding and exits 1 when there is one.
#   bash scripts/tidy.sh BUILD_TREE
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tree=$(realpath "$1")
[ -f "$tree/compile_commands.json" ] || { echo "tidy.sh: no compile_commands.json in $tree" >&2; exit 2; }
compiler=$(sed -n 's/^ *"command": "\([^ ]*\) .*/\1/p' "$tree/compile_commands.json" | head -1)
extra=()
if [[ $compiler == *mingw32* ]]; then
  # clang reads the sources for MinGW-w64's target, through the same
  # library and system headers as the compiler of the build; GCC's own
  # builtin headers (intrinsics) are left to clang's.
  target=$(basename "$compiler" | sed 's/-g++.*//')
  extra+=("-extra-arg-before=--target=$target")
  while read -r folder; do
    extra+=("-extra-arg=-isystem$folder")
  done < <("$compiler" -xc++ -E -v /dev/null 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search list/p' | sed -n 's/^ \(\/.*\)/\1/p' |
    grep -vE '/lib/gcc/[^/]+/[^/]+/include(-fixed)?$')
  files="$repo/(common/win|payments/win|statements/win|cli/win|combase|shell|referencehost)/.*\\.cpp\$"
  # clang would take GCC's precompiled header beside a forced include
  # (cmake_pch.hxx.gch) for one of its own, and refuse it: the files are
  # read without it, through what each includes itself.
  database=$(mktemp -d)
  trap 'rm -rf "$database"' EXIT
  sed -E 's# -include [^ ]*/cmake_pch\.hxx##g' "$tree/compile_commands.json" >"$database/compile_commands.json"
else
  files="$repo/(common|payments|statements|cli)/([^/]*|native/[^/]*)\\.cpp\$"
fi
output=$(run-clang-tidy -p "${database:-$tree}" -quiet -j "$(nproc)" "${extra[@]}" "$files" 2>/dev/null |
  sed 's/\x1b\[[0-9;]*m//g')
findings=$(grep -cE '(warning|error): .*\[[a-z-]+.*\]$' <<<"$output")
grep -E '(warning|error): ' <<<"$output"
echo "clang-tidy ($tree): $findings findings"
[ "$findings" = 0 ]
