#!/usr/bin/env bash
# The three setting jobs through a private CUPS scheduler: kestrel-cli sends, the capture backend
# keeps what the printer would receive, and the bytes must be exactly the expected streams.
set -euo pipefail
cli=${1:?path to kestrel-cli}
source "$(dirname "$0")/harness.sh"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
hex() { od -An -v -tx1 "$1" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//'; }

# The KR-500 factory defaults under the OVERSEA spec, sent to a non-serial port (8 data bits):
# Max Speed 4, PNE Detect disabled.
init_kr500="18 18 18 18 18 1d 28 45 03 00 01 49 4e \
1d 28 45 1c 00 03 01 30 30 32 30 30 31 30 31 02 32 32 32 32 32 32 32 31 08 30 32 31 32 32 32 32 32 \
1d 28 45 16 00 05 01 04 00 02 07 00 05 00 00 06 04 00 61 00 00 74 01 00 76 00 00 \
1d 28 45 08 00 0b 01 31 31 35 32 30 30 \
1d 28 45 03 00 0b 02 30 1d 28 45 03 00 0b 04 38 1d 28 45 03 00 0b 03 30 \
1d 28 45 0a 00 03 7e 30 30 31 31 30 31 30 31 \
1d 28 45 0a 00 03 7f 30 32 30 30 30 32 32 31 \
1d 28 45 0a 00 03 7d 32 32 32 32 32 32 32 30 \
1d 28 45 04 00 02 4f 55 54"
# The same record sent: eight customize values, paper width 48 columns.
send_kr500=${init_kr500/1d 28 45 16 00 05 01 04 00 02 07 00/1d 28 45 19 00 05 01 04 00 02 07 00 03 30 00}
list_stream="18 18 18 18 18 1d 28 41 02 00 00 02"

cups_start
cups_add_queue KR500 "ZOT KR-500 Raster" usb://ZOT/KR-500
cups_add_queue Rejecting "ZOT KR-500 Raster" usb://ZOT/KR-500?serial=2
cupsreject Rejecting

work=$(mktemp -d)
trap 'rm -rf "$work"' RETURN

check_job() {
    local command=$1 expected=$2 n=$3 file
    echo "-- $command"
    "$cli" "$command" --printer KR500 --yes >"$work/out" 2>"$work/err" ||
        fail "$command exited $?: $(cat "$work/err")"
    cups_wait_jobs_done || fail "$command: job did not complete"
    file=$(cups_capture_file KR500 "$n") || fail "$command: nothing captured"
    [ "$(hex "$file")" = "$expected" ] ||
        fail "$command: captured bytes differ:\n$(hex "$file")\nexpected\n$expected"
    echo "   $(stat -c %s "$file") bytes captured as expected"
}

check_job init "$init_kr500" 1
check_job send "$send_kr500" 2
check_job list-print "$list_stream" 3

echo "-- a queue that no longer exists"
set +e
"$cli" send --printer Gone --yes >"$work/out" 2>"$work/err"
status=$?
set -e
[ $status -eq 1 ] || fail "deleted queue: exit status $status"
grep -q "The printer cannot be opened." "$work/err" || fail "deleted queue: $(cat "$work/err")"

echo "-- a queue that rejects jobs"
set +e
"$cli" list-print --printer Rejecting --yes >"$work/out" 2>"$work/err"
status=$?
set -e
[ $status -eq 1 ] || fail "rejecting queue: exit status $status"
grep -q "Printer Error!!  Check the printer." "$work/err" || fail "rejecting queue: $(cat "$work/err")"
[ -z "$(cups_captured_files Rejecting)" ] || fail "rejecting queue captured a job"

echo "PASS"
