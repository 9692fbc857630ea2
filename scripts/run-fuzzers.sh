#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a few seconds each, seeded from tests/fuzz/seeds/<name>
# and the shared test data where present. Fails on any crash, leak or sanitizer report.
set -euo pipefail
build=${1:?fuzz build folder}
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for target in "$build"/tests/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    work=$(mktemp -d)
    seeds=()
    [ -d "$root/tests/fuzz/seeds/$name" ] && seeds+=("$root/tests/fuzz/seeds/$name")
    if [ "$name" = fuzz_logo_bitmap ] && [ -d "$root/../shared/testdata/bmpsuite" ]; then
        seeds+=("$root/../shared/testdata/bmpsuite/good" "$root/../shared/testdata/bmpsuite/bad"
            "$root/../shared/testdata/bmpsuite/q")
    fi
    echo "-- $name for ${seconds}s"
    if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$work" "${seeds[@]}" >"$work.log" 2>&1; then
        tail -n 60 "$work.log"
        status=1
    else
        grep -E 'stat::number_of_executed_units' "$work.log" || true
    fi
    rm -rf "$work" "$work.log"
done
exit $status
