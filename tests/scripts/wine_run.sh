#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the Wine prefix of the
# build tree, without Wine's own diagnostics. The Simple MAPI library is
# the one beside the program when there is one, never Wine's.
# Usage: wine_run.sh WINE_PREFIX PROGRAM [ARGUMENT...]
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;mapi32=n,b"
exec "${MORV_WINE:-/usr/lib/wine/wine64}" "$@"
