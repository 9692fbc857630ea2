#!/bin/bash
# Creates N printer queues on a running private CUPS scheduler, for measuring how long listing
# and classifying a large number of queues takes (bench/bench_queue_listing).
#
#   CUPS_SERVER=/tmp/kestrel-cups.XXXX/cups.sock bash make_many_queues.sh 1000 [PREFIX]
#
# Queues are named PREFIX-0001 ... (default prefix "bench") and cycle through the receipt
# printer drivers and the usb, serial, parallel and socket ports, with every tenth queue on
# another maker's driver, so that the listing sees the same mix as a real print server.
# CUPS_SERVER must be set: the script never touches the system's own scheduler.
set -u

count=${1:-}
prefix=${2:-bench}
jobs=${MAKE_QUEUES_PARALLEL:-4}

case "$count" in
    '' | *[!0-9]*)
        echo "usage: CUPS_SERVER=... $0 COUNT [PREFIX]" >&2
        exit 2
        ;;
esac
if [ -z "${CUPS_SERVER:-}" ]; then
    echo "$0: set CUPS_SERVER to the private scheduler (its socket or host:port)" >&2
    exit 2
fi
if ! lpstat -r >/dev/null 2>&1; then
    echo "$0: no scheduler answers at $CUPS_SERVER" >&2
    exit 1
fi

work=$(mktemp -d /tmp/kestrel-queues.XXXXXX) || exit 1
trap 'rm -rf -- "$work"' EXIT

# A PPD per driver name; its *NickName becomes the queue's printer-make-and-model. No filters
# are declared, so raw jobs reach the backend unchanged.
make_ppd() {
    cat >"$2" <<PPD
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "BENCH.PPD"
*Manufacturer: "${1%% *}"
*Product: "($1)"
*ModelName: "$1"
*ShortNickName: "$1"
*NickName: "$1"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: X80MMY200MM
*PageSize X80MMY200MM/80 x 200 mm: "<</PageSize[227 567]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: X80MMY200MM
*PageRegion X80MMY200MM/80 x 200 mm: "<</PageSize[227 567]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: X80MMY200MM
*ImageableArea X80MMY200MM/80 x 200 mm: "0 0 227 567"
*DefaultPaperDimension: X80MMY200MM
*PaperDimension X80MMY200MM/80 x 200 mm: "227 567"
PPD
}

drivers=("ZOT KR-900 Raster" "ZOT KR-900 Raster (BM)" "ZOT KR-700 Raster" "ZOT KR-500 Raster")
for i in "${!drivers[@]}"; do
    make_ppd "${drivers[i]}" "$work/kr$i.ppd"
done
make_ppd "Generic Laser Printer" "$work/other.ppd"

# One line per queue: name, PPD, device URI.
for ((n = 1; n <= count; n++)); do
    name=$(printf '%s-%04d' "$prefix" "$n")
    if ((n % 10 == 0)); then
        ppd="$work/other.ppd"
    else
        ppd="$work/kr$((n % 4)).ppd"
    fi
    case $((n % 4)) in
        0) uri="usb://ZOT/KR-900?serial=$n" ;;
        1) uri="serial:/dev/null?baud=9600+bits=8+parity=none+flow=dtrdsr" ;;
        2) uri="parallel:/dev/null" ;;
        3) uri="socket://127.0.0.1:9100" ;;
    esac
    printf '%s\t%s\t%s\n' "$name" "$ppd" "$uri"
done >"$work/queues"

# lpadmin warns that PPD files are deprecated; only failures are shown.
failed=$(xargs -P "$jobs" -L 1 -d '\n' bash -c '
    IFS=$'"'"'\t'"'"' read -r name ppd uri <<<"$0"
    out=$(lpadmin -p "$name" -E -v "$uri" -P "$ppd" 2>&1) || echo "$name: $out"
' <"$work/queues")
if [ -n "$failed" ]; then
    echo "$failed" >&2
    exit 1
fi
echo "$count queues $prefix-0001..$(printf '%s-%04d' "$prefix" "$count") on $CUPS_SERVER"
