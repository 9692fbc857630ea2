#!/usr/bin/env bash
# Builds kestrel-cli and runs it.
#
#   scripts/run.sh                 a demonstration on a private print queue: a private CUPS
#                                  scheduler with a KR-900 on a serial port and a KR-500 on USB
#                                  whose jobs are captured; the settings are sent to the KR-500 and
#                                  the bytes the printer would receive are shown
#   scripts/run.sh ARGS...         kestrel-cli ARGS... against your own CUPS queues
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_TESTS=OFF -DKESTREL_BENCH=OFF \
    >/dev/null
cmake --build build-run -j"$(nproc)" --target kestrel-cli >/dev/null
cli="$root/build-run/kestrel-cli"

if [ $# -gt 0 ]; then
    exec "$cli" "$@"
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "The demonstration starts a private CUPS scheduler and needs root: sudo $0" >&2
    exit 1
fi
source tests/cups/harness.sh
cups_start
cups_add_queue KR900-Serial "ZOT KR-900 Raster" "serial:/dev/null?baud=115200+bits=8+parity=none+flow=dtrdsr"
cups_add_queue KR500-USB "ZOT KR-500 Raster" usb://ZOT/KR-500
echo "Private print queues:"
lpstat -v | sed 's/^/  /'
echo
"$cli" send --printer KR500-USB --yes
cups_wait_jobs_done
echo
echo "The KR-500 received:"
od -An -tx1 -v "$(cups_capture_file KR500-USB 1)"
