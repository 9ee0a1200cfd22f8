#!/usr/bin/env bash
# The plug-in exports the twelve entry points under their plain names and
# nothing else of its own.
set -euo pipefail
expected="Cancel Check Close CreateConfigDialog Init OnClose OnLoad OnOk OnRestore OnSave PrepareExit Send"
actual=$(nm -D --defined-only "$1" | awk '{print $3}' | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' | sort | xargs)
if [ "$actual" != "$expected" ]; then
  echo "exported: $actual"
  echo "expected: $expected"
  exit 1
fi
