#!/usr/bin/env bash
# Fails when a message of partwell-cli has no translation (or only a fuzzy one) in a catalogue:
# it would show in English under that language.
set -euo pipefail
cd "$(dirname "$0")"
pot=$(mktemp "${TMPDIR:-/tmp}/partwell-cli.XXXXXX.pot")
trap 'rm -f "$pot"' EXIT
xgettext --language=C++ --from-code=UTF-8 --keyword=tr --keyword=N_ -o "$pot" \
    ../src/cli/*.cpp ../src/cli/*.h
for po in *.po; do
    msgcmp "$po" "$pot"
done
