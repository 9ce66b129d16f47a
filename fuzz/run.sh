#!/usr/bin/env bash
# Runs every fuzz target of a build (or the ones named) for FUZZ_SECONDS each, one after the
# other, from the seeds in fuzz/corpus/<target>/ plus what earlier runs found. A crash, a
# timeout (FUZZ_TIMEOUT seconds per input), a leak or a model mismatch fails the run; the input
# that did it is printed with the command that replays it.
#   usage: fuzz/run.sh BUILD_DIR [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/.."

build=${1:?usage: fuzz/run.sh BUILD_DIR [TARGET...]}
shift
seconds=${FUZZ_SECONDS:-60}
timeout=${FUZZ_TIMEOUT:-10}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for bin in "$build"/fuzz/fuzz_*; do
        [ -x "$bin" ] && targets+=("${bin##*/fuzz_}")
    done
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build/fuzz" >&2; exit 2; }

logValue() {  # the value after "name:" on the last line of the log that has it
    grep -o "$1: *[0-9]*" "$2" | tail -n 1 | grep -o '[0-9]*$'
}

failed=()
summary=$(printf '%-20s %10s %10s %8s %8s %7s  %s' target runs exec/s cov ft corpus result)
for name in "${targets[@]}"; do
    bin="$build/fuzz/fuzz_$name"
    seeds="fuzz/corpus/$name"
    work="$build/fuzz-corpus/$name"
    artifacts="$build/fuzz-artifacts/$name"
    log="$build/fuzz-logs/$name.log"
    mkdir -p "$work" "$artifacts" "$(dirname "$log")"
    options=(-max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048
             -print_final_stats=1 -artifact_prefix="$artifacts/")
    [ -f "fuzz/$name.dict" ] && options+=(-dict="fuzz/$name.dict")
    dirs=("$work")
    [ -d "$seeds" ] && dirs+=("$seeds")

    echo "== fuzz_$name for ${seconds}s"
    before=$(date +%s)
    nice -n 19 timeout $((seconds + 120)) "$bin" "${options[@]}" "${dirs[@]}" >"$log" 2>&1
    status=$?
    result=ok
    if [ $status -ne 0 ]; then
        result="FAILED ($status)"
        failed+=("$name")
        echo "---- fuzz_$name failed after $(($(date +%s) - before))s; the end of its log ($log):"
        tail -n 60 "$log"
        input=$(grep -o "Test unit written to [^ ]*" "$log" | tail -n 1 | sed 's/Test unit written to //')
        if [ -n "$input" ] && [ -f "$input" ]; then
            echo "---- the input ($(wc -c <"$input") bytes), hex:"
            od -An -tx1 -v "$input" | head -n 40
            echo "---- replay it: $bin $input"
        fi
    fi
    runs=$(logValue stat::number_of_executed_units "$log")
    speed=$(logValue stat::average_exec_per_sec "$log")
    cov=$(logValue cov "$log")
    ft=$(logValue ft "$log")
    corpus=$(find "$work" -type f | wc -l)
    summary+=$'\n'$(printf '%-20s %10s %10s %8s %8s %7s  %s' "$name" "${runs:--}" "${speed:--}" \
        "${cov:--}" "${ft:--}" "$corpus" "$result")
done

echo
echo "$summary"
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
