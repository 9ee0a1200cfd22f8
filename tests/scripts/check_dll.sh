#!/usr/bin/env bash
# A Windows DLL or program of the build: MORVTRANSPORT.DLL exports exactly
# the twelve entry points by their plain names, and each module imports only
# system DLLs and morvplatform.dll (the compiler's runtime is linked in,
# never shipped).
# Usage: check_dll.sh OBJDUMP MODULE [--plugin]
set -euo pipefail
objdump=$1
dll=$2
headers=$("$objdump" -p "$dll")

system="advapi32.dll comctl32.dll crypt32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll secur32.dll shell32.dll user32.dll version.dll ws2_32.dll"
for import in $(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers"); do
  if [[ " $system morvplatform.dll " != *" $import "* ]]; then
    echo "$(basename "$dll") imports $import, which is neither a system DLL nor ours"
    exit 1
  fi
done

if [ "${3:-}" = "--plugin" ]; then
  expected="Cancel Check Close CreateConfigDialog Init OnClose OnLoad OnOk OnRestore OnSave PrepareExit Send"
  actual=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | awk '/\[/ && NR > 1 {print $NF}' | sort | xargs)
  if [ "$actual" != "$expected" ]; then
    echo "exported: $actual"
    echo "expected: $expected"
    exit 1
  fi
fi
