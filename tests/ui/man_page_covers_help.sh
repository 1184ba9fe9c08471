#!/usr/bin/env bash
# man_page_covers_help.sh PROGRAM PAGE: the manual page PAGE names every option (as a word) and command
# ("PROGRAM COMMAND") that `PROGRAM --help` lists; one added later fails here until the page has it.
set -euo pipefail
name=$(basename "$1") help=$("$1" --help)
page=$(sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\&//g' "$2") # the source as text
missing=()
for option in $(grep -oE -- '(^|[][ ,|])--?[a-z][a-z-]*' <<<"$help" | grep -oE -- '-.*' | sort -u); do
  grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$page" || missing+=("$option")
done
for command in $(sed -nE "s/^(usage:)? *$name ([a-z]+).*/\2/p" <<<"$help" | sort -u); do
  grep -qF "$name $command" <<<"$page" || missing+=("$name $command")
done
[[ ${#missing[@]} -eq 0 ]] || { echo "not in $2: ${missing[*]}"; exit 1; }
