#!/usr/bin/env bash
# The bash completion of morv-host completes commands, options, the games
# of the project (asking the program) and the settings' keys.
# Usage: check_completion.sh COMPLETION_SCRIPT MORV_HOST
set -uo pipefail
source "$1"
program=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cat >"$folder/p.json" <<'JSON'
{"morv-host-project": 1, "games": {
  "Alpha": {"tag": "OXU:-)Transport", "version": 100, "settings": {"GameName": "Alpha"}},
  "Beta": {"tag": "OXU:-)Transport", "version": 100, "settings": {"GameName": "Beta"}}}}
JSON
failures=0

# expect "WORDS..." "COMPLETIONS": the last word is the one being completed.
expect() {
  read -r -a COMP_WORDS <<<"$1"
  [[ $1 == *" " ]] && COMP_WORDS+=("")
  COMP_WORDS[0]=$program
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  _morv_host
  local actual="${COMPREPLY[*]}"
  if [[ $actual != "$2" ]]; then
    echo "'$1': got '$actual', expected '$2'"
    failures=$((failures + 1))
  fi
}

expect "morv-host se" "send"
expect "morv-host --project $folder/p.json config " "Alpha Beta"
expect "morv-host --project $folder/p.json send B" "Beta"
expect "morv-host config Alpha Fr" "From="
expect "morv-host config Alpha Mailer=M" "Mailer=MAPI"
expect "morv-host config Alpha --unset Sub" "Subject"
expect "morv-host config Alpha --no" "--no-interactive"
expect "morv-host send Alpha --set Ser" "ServerSMTP="
expect "morv-host send Alpha --encoding k" "koi8-r"
expect "morv-host help c" "config check check-server"
expect "morv-host --project $folder/p.json check-server A" "Alpha"
((failures == 0)) || exit 1
echo "completion: all cases passed"
