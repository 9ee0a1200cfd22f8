#!/usr/bin/env bash
# The zips a player downloads. Each holds exactly the programs, DLLs and
# documents a player needs, none naming a path of the build machine; each
# module imports only system DLLs and morvplatform.dll, which lies beside it,
# and the plug-in exports the twelve entry points (check_dll.sh). The 64-bit
# zip is unpacked into an empty folder and run there under Wine, in a new
# Wine prefix that holds nothing else: the loader has to find the DLLs beside
# the program, and the program the plug-in. The 32-bit zip cannot run on this
# machine: it is checked, not run.
# Usage: check_windows_package.sh WIN64_ZIP WIN32_ZIP
set -euo pipefail
scripts=$(cd "$(dirname "$0")" && pwd)
sources=$(cd "$scripts/../.." && pwd)
expected="LICENSE.txt MORVTRANSPORT.DLL README.md docs/windows-settings.png docs/windows.md morv-host.exe morvplatform.dll"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Unpacks ZIP into the empty folder FOLDER and checks what it holds.
unpack_and_check() {
  local zip objdump=$2 folder=$3 files
  zip=$(realpath "$1")
  mkdir "$folder"
  (cd "$folder" && cmake -E tar xf "$zip")
  files=$(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs)
  if [ "$files" != "$expected" ]; then
    echo "$(basename "$zip") holds: $files"
    echo "expected:  $expected"
    return 1
  fi
  "$scripts/check_dll.sh" "$objdump" "$folder/MORVTRANSPORT.DLL" --plugin
  "$scripts/check_dll.sh" "$objdump" "$folder/morvplatform.dll"
  "$scripts/check_dll.sh" "$objdump" "$folder/morv-host.exe"
  # Under Wine a path of this machine would still be found; on a player's not.
  if grep -rlaF -e "$sources" -e "$(dirname "$zip")" "$folder"; then
    echo "$(basename "$zip") names a path of the build machine"
    return 1
  fi
}

unpack_and_check "$1" x86_64-w64-mingw32-objdump "$work/win64"
# Check needs no network: it raises and lowers a status bit.
"$scripts/windows_session.sh" "$work" bash -ec '
  cd "$1"
  "$2" "$3" ./morv-host.exe --version
  "$2" "$3" ./morv-host.exe check --timeout 10' run "$work/win64" "$scripts/wine_run.sh" "$work/wine-prefix"
echo "$(basename "$1"): checked, and run from an empty folder in a new Wine prefix"

unpack_and_check "$2" i686-w64-mingw32-objdump "$work/win32"
echo "$(basename "$2"): checked (files, exports, imports), not run: this machine runs no 32-bit code"
