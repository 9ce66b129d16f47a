#!/usr/bin/env bash
# The tests run with a temporary folder and a home folder of their own: `prepare` empties both,
# `check` fails when anything was left in them. Usage: leftovers.sh prepare|check FOLDER
set -euo pipefail

case $1 in
prepare)
    rm -rf "$2"
    mkdir -p "$2/tmp" "$2/home"
    ;;
check)
    left=$(cd "$2" && find tmp home -mindepth 1 -maxdepth 3 | sort)
    if [ -n "$left" ]; then
        printf 'left behind by the tests:\n%s\n' "$left" >&2
        exit 1
    fi
    ;;
esac
