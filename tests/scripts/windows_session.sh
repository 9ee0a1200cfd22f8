#!/usr/bin/env bash
# Runs COMMAND in the Windows build's session: one virtual X server (the host
# windows and the configuration page are real windows) and one Wine server
# for the whole run, in the Wine prefix of the build tree, which is made on
# the first run. COMMAND runs the build's programs through wine_run.sh (ctest
# does, for the suites).
# Usage: windows_session.sh BUILD_DIR COMMAND [ARGUMENT...]
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

# The session's server first: the one that a first wineboot would start
# outlives it for a few seconds, and a second would not start beside it.
mkdir -p "$WINEPREFIX"
"$server" --persistent
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot --init
fi
status=0
"$@" || status=$?
"$server" --kill || true
exit "$status"
