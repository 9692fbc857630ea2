#!/bin/bash
# What the print system reads from real queues: the driver name (the PPD's NickName), the device
# URI, the separator-page state and the held jobs, as `printers --json` shows them after the
# selection's classification (whose port kinds, order, messages and icons the unit tests check;
# paused and rejecting queues are refused in test_scheduler_faults). Usage: test_selection.sh CLI
cli=${1:?kestrel-cli}
source "$(dirname "$0")/harness.sh"
cups_start || exit 1
work=$CUPS_TEST_DIR
printf 'held job\n' >"$work/held.txt"

# name|driver|device URI|how the queue is set up|status|usable
queues=(
    "Usb|ZOT KR-500 Raster|usb://ZOT/KR-500?serial=1||8|true"
    "Serial|ZOT KR-900 Raster (BM)|serial:/dev/null?baud=115200+bits=8+parity=none+flow=dtrdsr||1|true"
    "Banner|ZOT KR-900 Raster|usb://ZOT/KR-900?serial=5|banner|7|false"
    "HeldUsb|ZOT KR-500 Raster|usb://ZOT/KR-500?serial=7|hold|8|true"
    "OtherDriver|Generic Text-Only|usb://Generic/Text?serial=8||0|false"
)
for entry in "${queues[@]}"; do
    IFS='|' read -r name driver uri setup _ <<<"$entry"
    args=()
    [ "$setup" != banner ] || args=(-o job-sheets-default=standard,none)
    cups_add_queue "$name" "$driver" "$uri" "${args[@]}" || fail "cannot add queue $name"
    [ "$setup" != hold ] || lp -H hold -d "$name" -o raw "$work/held.txt" >/dev/null ||
        fail "$name: no held job"
done

"$cli" printers --json >"$work/printers.json" || fail "printers exited $?"
for entry in "${queues[@]}"; do
    IFS='|' read -r name driver uri setup status usable <<<"$entry"
    jobs=0
    [ "$setup" != hold ] || jobs=1
    want="\"$driver\" \"$uri\" $status $usable $jobs"
    got=$(json_field "$work/printers.json" name "$name" driver port status usable jobs)
    [ "$got" = "$want" ] && echo "ok: $name: $got" || fault "$name: $got, expected $want"
done
listed=$(grep -c '^    "name": ' "$work/printers.json")
[ "$listed" -eq "${#queues[@]}" ] || fault "printers --json lists $listed queues, not ${#queues[@]}"
finish
