#!/usr/bin/env bash
# The source folders form layers: each includes only itself and the layers
# its row allows, so no cycle can come back. host/ includes only itself,
# the public header and the platform headers that are installed.
# Usage: check_layers.sh SOURCE_DIR
set -euo pipefail
root=$1

declare -A allowed=(
  [platform]="platform"
  [resources]="platform resources morvtransport"
  [settings]="platform resources settings"
  [app]="platform resources settings app morvtransport"
  [compose]="platform compose"
  [smtp]="platform compose smtp"
  [mail]="platform resources settings app compose smtp mail morvtransport"
  [workers]="platform resources settings app compose smtp mail workers morvtransport"
  [ui]="platform resources settings app ui morvtransport"
  [plugin]="platform resources settings app compose smtp mail workers ui plugin morvtransport"
)

failures=0
report() {
  echo "$1"
  failures=$((failures + 1))
}

# Prints "file:line:folder/header" for each quoted include of our own.
own_includes() {
  grep -H -n -o -E '^#include "[a-z_]+/[^"]+"' "$@" | sed -E 's/#include "(.*)"/\1/' || true
}

for folder in "$root"/src/*/; do
  layer=$(basename "$folder")
  if [ -z "${allowed[$layer]+set}" ]; then
    report "src/$layer: a folder that no layer row names"
    continue
  fi
  while IFS=: read -r file line header; do
    [ -n "$file" ] || continue
    target=${header%%/*}
    [[ " ${allowed[$layer]} " == *" $target "* ]] ||
      report "${file#"$root"/}:$line: $layer must not include $header"
  done < <(own_includes "$folder"*.h "$folder"*.cpp)
done

installed=$(grep -o -E 'src/platform/[a-z_]+\.h' "$root/cmake/install_rules.cmake" | sed 's#^src/##' | sort -u)
while IFS=: read -r file line header; do
  [ -n "$file" ] || continue
  case $header in
    host/* | morvtransport/*) ;;
    platform/*) grep -qx "$header" <<<"$installed" || report "${file#"$root"/}:$line: $header is not installed" ;;
    *) report "${file#"$root"/}:$line: the host must not include $header" ;;
  esac
done < <(own_includes "$root"/host/*.h "$root"/host/*.cpp)

if ((failures)); then
  echo "$failures include(s) against the layers"
  exit 1
fi
