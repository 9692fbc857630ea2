#!/bin/bash
# What the print system reads from real queues: the driver name (the PPD's NickName), the device
# URI and its port kind, the paused, rejecting and separator-page states and the held jobs, as
# `printers --json` shows them after the selection's classification (whose order, messages and
# icons the unit tests check). Usage: test_selection.sh CLI
cli=${1:?kestrel-cli}
source "$(dirname "$0")/harness.sh"
cups_start || exit 1
work=$CUPS_TEST_DIR
printf 'held job\n' >"$work/held.txt"

# name|driver|device URI|how the queue is set up|status|usable
queues=(
    "Usb|ZOT KR-500 Raster|usb://ZOT/KR-500?serial=1||8|true"
    "Serial|ZOT KR-900 Raster (BM)|serial:/dev/null?baud=115200+bits=8+parity=none+flow=dtrdsr||1|true"
    "Parallel|ZOT KR-700 Raster|parallel:/dev/null||0|true"
    "Socket|ZOT KR-900 Raster|socket://127.0.0.1:9100||2|false"
    "Ipp|ZOT KR-900 Raster (FC)|ipp://127.0.0.1:631/printers/kr||2|false"
    "FileQueue|ZOT KR-500 Raster|file:///dev/null||3|false"
    "Paused|ZOT KR-900 Raster (BM/FC)|usb://ZOT/KR-900?serial=2|pause|4|false"
    "Rejecting|ZOT KR-500 Raster|usb://ZOT/KR-500?serial=4|reject|6|false"
    "Banner|ZOT KR-900 Raster|usb://ZOT/KR-900?serial=5|banner|7|false"
    "HeldParallel|ZOT KR-700 Raster|parallel:/dev/null|hold|0|false"
    "HeldUsb|ZOT KR-500 Raster|usb://ZOT/KR-500?serial=7|hold|8|true"
    "OtherPort|ZOT KR-500 Raster|vcom:/dev/kr500||9|false"
    "OtherDriver|Generic Text-Only|usb://Generic/Text?serial=8||0|false"
)
for entry in "${queues[@]}"; do
    IFS='|' read -r name driver uri setup _ <<<"$entry"
    args=()
    [ "$setup" != banner ] || args=(-o job-sheets-default=standard,none)
    cups_add_queue "$name" "$driver" "$uri" "${args[@]}" || fail "cannot add queue $name"
    case $setup in
        pause) cupsdisable "$name" ;;
        reject) cupsreject "$name" ;;
        hold) lp -H hold -d "$name" -o raw "$work/held.txt" >/dev/null || fail "$name: no held job" ;;
    esac
done

"$cli" printers --json >"$work/printers.json" || fail "printers exited $?"
for entry in "${queues[@]}"; do
    IFS='|' read -r name driver uri setup status usable <<<"$entry"
    jobs=0
    [ "$setup" != hold ] || jobs=1
    want="\"$driver\" \"$uri\" $status $usable $jobs"
    got=$(for field in driver port status usable jobs; do
        json_field "$work/printers.json" name "$name" "$field"
    done | tr '\n' ' ')
    [ "$got" = "$want " ] && echo "ok: $name: $got" || fault "$name: $got, expected $want"
done
listed=$(grep -c '^    "name": ' "$work/printers.json")
[ "$listed" -eq "${#queues[@]}" ] || fault "printers --json lists $listed queues, not ${#queues[@]}"
finish
