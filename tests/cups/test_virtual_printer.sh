#!/usr/bin/env bash
# A real CUPS queue on the kestrel-printer backend: kestrel-cli sends to it as to a KR printer, the
# backend applies each job to the virtual printer in the queue's folder, and `virtual show` reports
# what the printer now holds. The captured bytes are the job exactly, and decode reads them clean.
set -euo pipefail
cli=${1:?path to kestrel-cli}
backend=${2:-$(dirname "$cli")/kestrel-printer}
source "$(dirname "$0")/harness.sh"

[ -x "$backend" ] || fail "no backend at $backend"
cups_start
# The scheduler runs a backend only when root owns it and nobody else may write it.
install -m 0755 "$backend" "$CUPS_TEST_DIR/serverbin/backend/kestrel-printer"

work=$(mktemp -d)
cups_on_exit() { rm -rf -- "$work"; }
folder="$work/folder"
printer="$work/till 7" # a folder name that needs escaping in the URI
mkdir "$folder" "$printer"
chmod 0755 "$work"
chown lp:lp "$printer" # the backend runs as the scheduler's user
cups_add_queue VKR500 "ZOT KR-500 Raster" "kestrel-printer:${printer// /%20}"

cli() { "$cli" --folder "$folder" "$@"; }
setting() { json_field "$work/show.json" label "$1" text; }
show() { cli virtual show --printer VKR500 --json >"$work/show.json" || fail "virtual show: $?"; }
newest() { find "$printer" -name "job-*$1" | sort | tail -n1; }

echo "-- a fresh queue's printer is as it left the factory"
show
[ "$(setting "Max Speed")" = '"4"' ] || fail "fresh KR-500: Max Speed $(setting "Max Speed")"
[ "$(json_field "$work/show.json" label "Max Speed" offset)" = 16 ] || fail "no Max Speed entry"
echo "   Max Speed 4, PNE Detect $(setting "PNE Detect")"

echo "-- send"
cli settings set "$work/till.kcf" "Paper Width=58mm/32column" "Auto LF=Enable" \
    "Print Density=110%" "Protocol=XON/XOFF" >/dev/null
cli send --printer VKR500 --settings "$work/till.kcf" --yes >/dev/null 2>"$work/err" ||
    fail "send: $(cat "$work/err")"
cli send --printer VKR500 --settings "$work/till.kcf" --yes --dry-run "$work/sent.prn" \
    >/dev/null 2>&1
cups_wait_jobs_done || fail "send did not complete"
captured=$(newest .prn)
cmp -s "$work/sent.prn" "$captured" || fail "captured bytes differ from the stream sent"
cli decode "$captured" >"$work/decode" || fail "decode of the capture: $?"
show
for expected in "Paper Width=58mm/32column" "Auto LF=Enable" "Print Density=110%" \
    "Protocol=XON/XOFF" "Max Speed=4"; do
    label=${expected%%=*}
    [ "$(setting "$label")" = "\"${expected#*=}\"" ] ||
        fail "after send, $label is $(setting "$label"), expected ${expected#*=}"
done
echo "   virtual show: Paper Width 58mm/32column, Auto LF Enable, Print Density 110%, XON/XOFF"

echo "-- init: factory defaults, the paper width kept"
cli init --printer VKR500 --yes >/dev/null 2>&1 || fail "init failed"
cups_wait_jobs_done || fail "init did not complete"
show
[ "$(setting "Auto LF")" = '"Disable"' ] || fail "after init, Auto LF $(setting "Auto LF")"
[ "$(setting "Paper Width")" = '"58mm/32column"' ] || fail "after init, Paper Width $(setting "Paper Width")"
echo "   Auto LF Disable, Paper Width 58mm/32column"

echo "-- list-print: the settings list as a page"
cli list-print --printer VKR500 --yes >/dev/null 2>&1 || fail "list-print failed"
cups_wait_jobs_done || fail "list-print did not complete"
page=$(newest -list.txt)
[ -n "$page" ] || fail "no settings list page"
grep -qx "  Paper Width             58mm/32column" "$page" || fail "page lacks the paper width"
echo "   $(head -n1 "$page")"

echo "-- a logo registered and printed"
bmp=$(cd "$(dirname "$0")/../../.." && pwd)/shared/testdata/bmpsuite/good/pal8.bmp
cli logo register --printer VKR500 --slot 3 --two-color --yes "$bmp" >/dev/null 2>&1 ||
    fail "logo register failed"
cli logo print --printer VKR500 --slot 3 --two-color --yes >/dev/null 2>&1 || fail "logo print failed"
cups_wait_jobs_done || fail "logo jobs did not complete"
png=$(newest .png)
[ -n "$png" ] || fail "no PNG of the printed logo"
cli virtual show --printer VKR500 >"$work/show.txt"
grep -q "Key 22 20 *128 x [0-9]* dots, two colours" "$work/show.txt" ||
    fail "logo 3 not in the printer:\n$(cat "$work/show.txt")"
grep -q "Errors of the last job *none" "$work/show.txt" || fail "the last job had errors"
echo "   $(basename "$png"), logo 3 in two colours in the printer"

echo "PASS"
