#!/usr/bin/env bash
# Runs the Windows build's tests: the suites under Wine in one virtual X
# server (the host windows and the configuration page are real windows),
# with one Wine server for the whole run. The Wine prefix of the build tree
# is made on the first run.
# Usage: run_windows_tests.sh BUILD_DIR [CTEST_OPTION...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
export WINEPREFIX=$build/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=${MORV_WINE:-/usr/lib/wine/wine64}
server=$(dirname "$wine")/wineserver

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" "$0" "$build" "$@"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot --init
fi
"$server" --persistent
status=0
ctest --test-dir "$build" "$@" || status=$?
"$server" --kill || true
exit "$status"
