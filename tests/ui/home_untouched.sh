#!/usr/bin/env bash
# home_untouched.sh PROGRAM [ARGUMENT...]: PROGRAM, run as for a user but with an empty home and no
# XDG_CONFIG_HOME, leaves nothing there (caches aside), so keeps its settings in a scope of its own.
home=$(mktemp -d) && trap 'rm -rf "$home"' EXIT
env -u XDG_CONFIG_HOME HOME="$home" "$@"
status=$? written=$(find "$home" -path "$home/.cache" -prune -o -type f -print)
[[ -z "$written" ]] && exit $status || { echo "written into the home folder: $written"; exit 1; }
