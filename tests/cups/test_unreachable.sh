#!/bin/bash
# With no scheduler answering, kestrel-cli says it cannot reach CUPS instead of listing no queues.
# Usage: bash test_unreachable.sh KESTREL_CLI (no daemon is started).
cli=${1:?kestrel-cli}
dir=$(mktemp -d /tmp/kestrel-unreachable.XXXXXX) || exit 1
trap 'rm -rf -- "$dir"' EXIT
export CUPS_SERVER="$dir/no-scheduler.sock"
failures=0
check() {  # check NAME EXPECTED_STATUS ARGS...
    local name=$1 expected=$2 status
    shift 2
    (cd "$dir" && "$cli" "$@" >"$dir/out" 2>"$dir/err")
    status=$?
    if [ "$status" -ne "$expected" ] || ! grep -q "print system cannot be reached: no answer from the CUPS scheduler at $CUPS_SERVER" "$dir/err"; then
        echo "FAIL: $name: exit $status, said: $(cat "$dir/err")" >&2
        failures=$((failures + 1))
    else
        echo "ok: $name: $(head -c 200 "$dir/err")"
    fi
}
check "printers" 1 printers
check "send" 3 send --printer KR900 --yes
exit $((failures > 0))
