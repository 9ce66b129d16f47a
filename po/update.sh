#!/usr/bin/env bash
# Refreshes the template from the sources and merges it into every catalogue; run it after a
# message of partwell-cli changed, then translate the entries msgmerge marked fuzzy or left empty.
set -euo pipefail
cd "$(dirname "$0")"
xgettext --language=C++ --from-code=UTF-8 --keyword=tr --keyword=N_ --no-location --sort-output \
    --package-name=partwell-cli --msgid-bugs-address=partwell@corvane.example \
    -o partwell-cli.pot ../src/cli/*.cpp ../src/cli/*.h
for po in *.po; do
    msgmerge --quiet --update --no-location --sort-output --backup=none "$po" partwell-cli.pot
done
