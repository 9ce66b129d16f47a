#!/usr/bin/env bash
# Runs every benchmark of this folder in turn; each prints its ratios against the tool a user
# would pick instead, measured in the same run. Arguments are passed to every benchmark.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
export PARTWELL_CLI=${PARTWELL_CLI:-$here/../build/bin/partwell-cli}
export PARTWELL_LIB_DIR=${PARTWELL_LIB_DIR:-$here/../build}
PARTWELL_BENCH_SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/partwell-bench-XXXXXX")
export PARTWELL_BENCH_SCRATCH
trap 'rm -rf "$PARTWELL_BENCH_SCRATCH"' EXIT
status=0
for script in "$here"/*.sh; do
    [ "$(basename "$script")" = run.sh ] && continue
    echo "== $(basename "$script" .sh)"
    bash "$script" "$@" || status=1
done
exit $status
