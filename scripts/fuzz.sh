#!/usr/bin/env bash
# Runs every fuzz target for FUZZ_SECONDS (default 60), one after another in a single process
# each, and prints its runs, speed and findings. With --merge, a target's new inputs that
# reach new code are added to its checked-in corpus (fuzz/corpus/<target>), minimised.
# FUZZ_TARGETS names the targets to run, in that order (default: every one).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/fuzz
seconds=${FUZZ_SECONDS:-60}
merge=0
[ "${1:-}" != --merge ] || merge=1
# Inputs that write files (the rename list) stay in memory.
export TMPDIR=/dev/shm
failed=0
targets=${FUZZ_TARGETS:-$(cd "$build/fuzz" && ls fuzz_* | sed 's/^fuzz_//')}
for name in $targets; do
    target="$build/fuzz/fuzz_$name"
    [ -x "$target" ] || { echo "no fuzz target $name" >&2; exit 2; }
    work="$build/corpus/$name"
    mkdir -p "$work"
    cp -n fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
    log="$build/fuzz-$name.log"
    status=ok
    "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/finding-$name-" "$work" \
        > "$log" 2>&1 || { status="FINDING (see $log)"; failed=1; }
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    printf '%-12s %10s runs %8s exec/s  %s\n' "$name" "${runs:-?}" "${rate:-?}" "$status"
    if [ "$merge" -eq 1 ]; then
        "$target" -merge=1 fuzz/corpus/"$name" "$work" > /dev/null 2>&1
    fi
done
exit "$failed"
