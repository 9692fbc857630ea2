#!/bin/bash
# Adds COUNT queues to a running private scheduler, for the listing and selection-dialog load
# runs over 1,000 queues (bench/). Queues PREFIX-0001... cycle through the receipt printer drivers
# and the usb, serial, parallel and socket ports, every tenth on another maker's driver.
#   CUPS_SERVER=/tmp/kestrel-cups.XXXX/cups.sock bash make_many_queues.sh 1000 [PREFIX]
count=${1:?usage: CUPS_SERVER=... $0 COUNT [PREFIX]}
prefix=${2:-bench}
source "$(dirname "$0")/harness.sh"
[ -n "${CUPS_SERVER:-}" ] && lpstat -r >/dev/null 2>&1 ||
    fail "no private scheduler answers at CUPS_SERVER=${CUPS_SERVER:-} (the system's is never used)"
work=$(mktemp -d /tmp/kestrel-queues.XXXXXX) || exit 1
trap 'rm -rf -- "$work"' EXIT
drivers=("ZOT KR-900 Raster" "ZOT KR-900 Raster (BM)" "ZOT KR-700 Raster" "ZOT KR-500 Raster")
for i in 0 1 2 3; do cups_make_ppd "${drivers[i]}" "$work/kr$i.ppd"; done
cups_make_ppd "Generic Laser Printer" "$work/other.ppd"
uris=("usb://ZOT/KR-900?serial=%d" "serial:/dev/null?baud=9600+bits=8+parity=none+flow=dtrdsr"
    "parallel:/dev/null" "socket://127.0.0.1:9100")
for ((n = 1; n <= count; n++)); do
    ppd=$work/kr$((n % 4)).ppd
    ((n % 10)) || ppd=$work/other.ppd
    printf '%s-%04d\t%s\t%s\n' "$prefix" "$n" "$ppd" "${uris[n % 4]//%d/$n}"
done >"$work/queues"
# Four lpadmin at a time; lpadmin warns that PPD files are deprecated, so only failures are shown.
failed=$(xargs -P 4 -L 1 -d '\n' bash -c '
    IFS=$'"'\t'"' read -r name ppd uri <<<"$0"
    out=$(lpadmin -p "$name" -E -v "$uri" -P "$ppd" 2>&1) || echo "$name: $out"' <"$work/queues")
[ -z "$failed" ] || fail "$failed"
echo "$count queues $prefix-0001..$(printf '%s-%04d' "$prefix" "$count") on $CUPS_SERVER"
