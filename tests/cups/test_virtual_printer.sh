#!/bin/bash
# A real CUPS queue on the kestrel-printer backend: the scheduler runs the backend (as lp) on each
# job, the backend applies the job to the virtual printer in the queue's folder, and `virtual show`
# reports what that printer now holds. Usage: test_virtual_printer.sh CLI [BACKEND]
cli=${1:?kestrel-cli}
backend=${2:-$(dirname "$cli")/kestrel-printer}
source "$(dirname "$0")/harness.sh"
[ -x "$backend" ] || fail "no backend at $backend"
cups_start || exit 1
install -m 0755 "$backend" "$CUPS_TEST_DIR/serverbin/backend/kestrel-printer"
work=$CUPS_TEST_DIR
printer="$work/till 7" # a folder name that needs escaping in the URI
mkdir "$printer" && chown lp:lp "$printer"
cups_add_queue VKR500 "ZOT KR-500 Raster" "kestrel-printer:${printer// /%20}" || exit 1
setting() { json_field "$work/show.json" label "$1" text; }

"$cli" settings set "$work/till.kcf" "Paper Width=58mm/32column" "Auto LF=Enable" \
    "Protocol=XON/XOFF" >/dev/null
expect 0 "Job written to" send --printer VKR500 --settings till.kcf --yes --dry-run sent.prn
expect 0 "Job sent to VKR500" send --printer VKR500 --settings till.kcf --yes
expect 0 "Job sent to VKR500" logo register --printer VKR500 --slot 3 --two-color --yes \
    "$(dirname "$0")/../../../shared/testdata/bmpsuite/good/pal8.bmp"
cups_wait_jobs_done || fail "the jobs did not complete"
captured=$(find "$printer" -name 'job-*.prn' | sort | head -n1)
cmp -s "$work/sent.prn" "$captured" || fault "the printer's copy of the job differs from the stream"
"$cli" virtual show --printer VKR500 --json >"$work/show.json" || fail "virtual show: $?"
got="$(setting "Paper Width") $(setting "Auto LF") $(setting Protocol) $(setting "Max Speed")"
[ "$got" = '"58mm/32column" "Enable" "XON/XOFF" "4"' ] || fault "the printer holds $got"
"$cli" virtual show --printer VKR500 >"$work/show.txt"
grep -q "Key 22 20 *128 x [0-9]* dots, two colours" "$work/show.txt" &&
    grep -q "Errors of the last job *none" "$work/show.txt" ||
    fault "logo 3 is not in the printer:\n$(cat "$work/show.txt")"
finish
