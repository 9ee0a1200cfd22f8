#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the Wine prefix of the
# build tree, without Wine's own diagnostics. The Simple MAPI library is
# only ever one of ours, found the Windows way, never Wine's: without one
# the machine has none, as a test may want. The program's
# output goes through a file: Wine's desktop process, which the first
# window starts, inherits the program's output and would hold a pipe open
# long after the program has ended.
# Usage: wine_run.sh WINE_PREFIX PROGRAM [ARGUMENT...]
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;mapi32=n"
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
"${MORV_WINE:-/usr/lib/wine/wine64}" "$@" > "$output" 2>&1 < /dev/null || status=$?
cat "$output"
exit "$status"
