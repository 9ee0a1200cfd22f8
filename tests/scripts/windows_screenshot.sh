#!/usr/bin/env bash
# Takes the picture of morv-host.exe's settings window that the README
# shows: `config Alpha -i` in a Wine desktop (which draws the window's
# frame), taken with ImageMagick's import once it is drawn, and cut to the
# window. Runs in the Windows build's session (windows_session.sh: Wine and
# one virtual X server of a fixed size).
# Usage: windows_screenshot.sh BUILD_DIR OUTPUT.png
set -euo pipefail
build=$(cd "$1" && pwd)
output=$2
work=$(mktemp -d)
trap 'kill "$window" 2>/dev/null || true; rm -rf "$work"' EXIT
run=("$(dirname "$0")/wine_run.sh" "$WINEPREFIX")
host=("$build/bin/morv-host.exe" --project "$work/project.json")
title='morv-host config: MORVTRANSPORT settings of game "Alpha"'

"${run[@]}" "${host[@]}" config Alpha From=me@example.org To=turns@alpha.example "Subject=Alpha turn" \
  ServerSMTP=smtp.example.org:587 Mailer=SMTP > /dev/null
"${run[@]}" explorer /desktop=morv,800x600 "${host[@]}" config Alpha -i > /dev/null &
window=$!
# Drawn once it is there and two pictures in a row agree.
previous=
for _ in $(seq 300); do
  if geometry=$(xwininfo -name "$title" 2>/dev/null); then
    import -window root "$work/screen.png"
    current=$(md5sum < "$work/screen.png")
    [ "$current" != "$previous" ] || break
    previous=$current
  fi
  sleep 0.1
done
value() { awk -F: -v key="$1" '$1 ~ key { gsub(/ /, "", $2); print $2 }' <<<"$geometry"; }
crop="$(value Width)x$(value Height)+$(value 'Absolute upper-left X')+$(value 'Absolute upper-left Y')"
convert "$work/screen.png" -crop "$crop" +repage "$output"
