#!/usr/bin/env bash
# Checks a built module DLL: exactly the two plain exports, and only system DLLs imported.
set -euo pipefail
dll=$1
dump=$(objdump -p "$dll")
exports=$(printf '%s\n' "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/{f=1;next} f&&/^[ \t]*\[/{print $NF;next} f{f=0}' | sort | tr '\n' ' ')
if [ "$exports" != "QvCreateObject QvDestroyObject " ]; then
  echo "FAIL $dll exports: $exports" >&2; exit 1
fi
allowed='^(kernel32|user32|advapi32|ole32|oleaut32|shlwapi|winmm|msvcrt|ntdll|api-ms-win-.*)\.dll$'
bad=""
for imp in $(printf '%s\n' "$dump" | awk '/DLL Name:/{print tolower($3)}'); do
  [[ "$imp" =~ $allowed ]] || bad="$bad $imp"
done
if [ -n "$bad" ]; then
  echo "FAIL $dll imports non-system DLLs:$bad" >&2; exit 1
fi
echo "ok   $dll exports QvCreateObject QvDestroyObject, imports system DLLs only"
