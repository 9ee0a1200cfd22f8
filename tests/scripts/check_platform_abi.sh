#!/usr/bin/env bash
# The platform library's ABI, with the types of the installed headers, must
# be the one stored for its soname: a host built against an earlier install
# loads any library of that soname. With --update, stores it instead.
# Usage: check_platform_abi.sh [--update] LIBRARY BASELINE_FOLDER HEADER...
set -euo pipefail
update=false
if [ "$1" = "--update" ]; then
  update=true
  shift
fi
library=$1
baselines=$2
shift 2
soname=$(objdump -p "$library" | awk '$1 == "SONAME" { print $2 }')
baseline="$baselines/$soname.abi"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# abidw knows a header by its file name, wherever it lies.
mkdir "$work/headers"
cp "$@" "$work/headers/"
abidw --headers-dir "$work/headers" --drop-private-types --no-corpus-path --no-comp-dir-path --short-locs \
  --out-file "$work/current.abi" "$library"
if $update; then
  cp "$work/current.abi" "$baseline"
  echo "stored $baseline"
  exit 0
fi
how_to_store="cmake --build BUILD --target platform-abi-baseline (in a tree that make test builds)"
if [ ! -f "$baseline" ]; then
  echo "No ABI is stored for $soname: store it with $how_to_store"
  exit 1
fi
if ! abidiff "$baseline" "$work/current.abi"; then
  cat <<TEXT
The ABI of $soname is not the one stored in $baseline (the changes above).
- Something a host compiled against the installed headers relies on changed
  or went (a type's size or members, a function they declare): raise
  MORV_PLATFORM_SOVERSION in CMakeLists.txt, then store the ABI of the new
  soname.
- Only additions, or only what no installed header declares (the plug-in's
  own calls into the library): store the ABI again under the same soname.
Store it with $how_to_store.
TEXT
  exit 1
fi
