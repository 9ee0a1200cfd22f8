#!/usr/bin/env bash
# The source folders form layers: each includes only itself and the layers
# its row allows, so no cycle can come back. The plug-in's folders (src/)
# and morv-host's rooms (host/) have a table each. host/ includes nothing of
# src/ but the public header and the platform headers that are installed;
# what a room's posix/ folder holds is included by no one. Where a layer of
# src/ differs per platform it keeps posix/ and windows/ subfolders, which
# never include each other; only the platform layer and the socket layer's
# system_sockets.h ask which platform they are built for.
# Usage: check_layers.sh SOURCE_DIR
set -euo pipefail
root=$1

declare -A src_allowed=(
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

declare -A host_allowed=(
  [os]="os"
  [loopback]="os loopback"
  [text]="os text"
  [project]="os text project"
  [session]="os text project session"
  [page]="os text project session page"
  [cli]="os loopback text project session page cli"
)

failures=0
report() {
  echo "$1"
  failures=$((failures + 1))
}

# Prints "file:line:header" for each quoted include of our own in the
# sources under the folders given.
own_includes() {
  find "$@" -name '*.h' -o -name '*.cpp' | sort |
    xargs -r grep -H -n -o -E '^#include "[a-z_]+/[^"]+"' | sed -E 's/#include "(.*)"/\1/' || true
}

for folder in "$root"/src/*/; do
  layer=$(basename "$folder")
  if [ -z "${src_allowed[$layer]+set}" ]; then
    report "src/$layer: a folder that no layer row names"
    continue
  fi
  while IFS=: read -r file line header; do
    [ -n "$file" ] || continue
    target=${header%%/*}
    [[ " ${src_allowed[$layer]} " == *" $target "* ]] ||
      report "${file#"$root"/}:$line: $layer must not include $header"
  done < <(own_includes "$folder")
  for sub in "$folder"*/; do
    [ -d "$sub" ] || continue
    case $(basename "$sub") in
      posix) other=windows ;;
      windows) other=posix ;;
      *) report "src/$layer/$(basename "$sub"): only posix/ and windows/ may stand beside a layer's sources"; continue ;;
    esac
    while IFS=: read -r file line header; do
      [ -n "$file" ] || continue
      [[ $header != */$other/* ]] || report "${file#"$root"/}:$line: must not include $header"
    done < <(own_includes "$sub")
  done
done

while IFS=: read -r file line _; do
  [ -n "$file" ] || continue
  report "${file#"$root"/}:$line: only the platform layer and smtp/system_sockets.h ask for the platform"
done < <(grep -r -n -E '_WIN32|__linux__' "$root/src" --include='*.h' --include='*.cpp' |
         grep -v -E "^$root/src/platform/|^$root/src/smtp/system_sockets.h:" || true)

installed=$(grep -o -E 'src/platform/[a-z_]+\.h' "$root/cmake/install_rules.cmake" | sed 's#^src/##' | sort -u)

# One include of a host file: FILE of ROOM includes HEADER at LINE.
check_host_include() {
  local room=$1 file=$2 line=$3 header=$4
  local where=${file#"$root"/}:$line
  case $header in
    morvtransport/*) ;;
    platform/*) grep -qx "$header" <<<"$installed" || report "$where: $header is not installed" ;;
    host/*/posix/*) report "$where: $header is a POSIX implementation; include its room's header" ;;
    host/*/*)
      local target=${header#host/}
      target=${target%%/*}
      [[ " ${host_allowed[$room]} " == *" $target "* ]] || report "$where: $room must not include $header" ;;
    host/*) report "$where: $header lies in no room of host/" ;;
    *) report "$where: the host must not include $header" ;;
  esac
}

for file in "$root"/host/*.h "$root"/host/*.cpp; do
  if [ -e "$file" ]; then report "${file#"$root"/}: a source outside the rooms of host/"; fi
done
for folder in "$root"/host/*/; do
  room=$(basename "$folder")
  if [ "$room" = share ]; then continue; fi
  if [ -z "${host_allowed[$room]+set}" ]; then
    report "host/$room: a room that no layer row names"
    continue
  fi
  while IFS=: read -r file line header; do
    [ -n "$file" ] || continue
    check_host_include "$room" "$file" "$line" "$header"
  done < <(own_includes "$folder")
done

if ((failures)); then
  echo "$failures include(s) against the layers"
  exit 1
fi
