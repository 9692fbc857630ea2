#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build, each seeded from tests/fuzz/seeds/<target>. Fails on any
# crash, leak, timeout or sanitizer report, and on a target without seeds; the input that failed
# is kept in BUILD/fuzz-artifacts/.
#
#   scripts/run-fuzzers.sh BUILD [SECONDS]          one target after the other, SECONDS each
#                                                   (default 20: five targets, under 2 minutes)
#   scripts/run-fuzzers.sh BUILD SECONDS CAMPAIGN   a long campaign: every target at the same time
#                                                   under nice -n 19, each on its own corpus in
#                                                   CAMPAIGN/<target> (started from the seeds and
#                                                   kept), its log in CAMPAIGN/<target>.log
#   KESTREL_FUZZ_TARGETS="fuzz_a fuzz_b" limits a run to those targets.
#
# An input counts as hung after 10 s; in a campaign after 60 s, because the timeout is wall-clock
# time and a campaign at nice 19 on a busy machine is starved for seconds at a time.
set -euo pipefail
build=${1:?fuzz build folder}
seconds=${2:-20}
campaign=${3:-}
root=$(cd "$(dirname "$0")/.." && pwd)
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
nice=()
timeout=10
[ -n "$campaign" ] && nice=(nice -n 19) && timeout=60

targets=()
for target in "$build"/tests/fuzz/fuzz_*; do
    [ -x "$target" ] && [ -f "$target" ] || continue
    if [ -n "${KESTREL_FUZZ_TARGETS:-}" ] && [[ " $KESTREL_FUZZ_TARGETS " != *" $(basename "$target") "* ]]; then
        continue
    fi
    targets+=("$target")
done
if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets in $build/tests/fuzz" >&2
    exit 1
fi

# Runs one target on a corpus folder that starts as a copy of its seeds; logs to $3.
fuzz() {
    local target=$1 corpus=$2 log=$3 name
    name=$(basename "$target")
    if [ ! -d "$root/tests/fuzz/seeds/$name" ]; then
        echo "$name: no seeds in tests/fuzz/seeds/$name" >"$log"
        return 1
    fi
    mkdir -p "$corpus"
    cp -n "$root/tests/fuzz/seeds/$name"/* "$corpus"/
    "${nice[@]}" "$target" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$name-" "$corpus" >"$log" 2>&1
}

summary() {
    local name=$1 log=$2 corpus=$3
    echo "$name: $(grep -E '^stat::number_of_executed_units' "$log" | tr -d ' '), $(grep -E '^#[0-9]+.*(DONE|cov:)' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+'), corpus $(find "$corpus" -type f | wc -l) files"
}

status=0
if [ -z "$campaign" ]; then
    for target in "${targets[@]}"; do
        name=$(basename "$target")
        work=$(mktemp -d)
        echo "-- $name for ${seconds}s"
        if fuzz "$target" "$work/corpus" "$work/log"; then
            summary "$name" "$work/log" "$work/corpus"
        else
            tail -n 60 "$work/log"
            status=1
        fi
        rm -rf "$work"
    done
    exit $status
fi

mkdir -p "$campaign"
pids=()
for target in "${targets[@]}"; do
    name=$(basename "$target")
    echo "-- $name for ${seconds}s in $campaign/$name"
    (
        start=$(date +%s)
        rc=0
        fuzz "$target" "$campaign/$name" "$campaign/$name.log" || rc=$?
        echo "wall time: $(($(date +%s) - start)) s, exit $rc" >>"$campaign/$name.log"
        exit $rc
    ) &
    pids+=($!)
done
for i in "${!targets[@]}"; do
    name=$(basename "${targets[$i]}")
    if ! wait "${pids[$i]}"; then
        tail -n 60 "$campaign/$name.log"
        status=1
    fi
    summary "$name" "$campaign/$name.log" "$campaign/$name"
    tail -n 1 "$campaign/$name.log"
done
exit $status
