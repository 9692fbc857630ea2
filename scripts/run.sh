#!/usr/bin/env bash
# Builds kestrel-cli and runs it.
#
#   scripts/run.sh            the program's flow on the embedded virtual print system (no printer
#                             or CUPS needed): its queues are listed (a KR-900 on a serial port,
#                             a KR-500 on USB, and queues with the problems the checks catch),
#                             you choose one, the settings are sent, and the bytes the printer
#                             would receive are shown
#   scripts/run.sh ARGS...    kestrel-cli ARGS... against your own CUPS queues, e.g.
#                             scripts/run.sh printers
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

# A fresh copy of the virtual queues, its capture folder and a start-up folder for the
# working configuration, so that the run leaves the repository as it was.
demo="$root/build-run/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp resources/virtual-printers.ini "$demo/"
kestrel=("$cli" --print-system virtual --virtual-config "$demo/virtual-printers.ini" --folder "$demo")

echo "== Print queues (virtual print system: $demo/virtual-printers.ini)"
"${kestrel[@]}" printers
echo
choice="KR-500 USB"
if [ -t 0 ]; then
    read -r -p "Queue to send the settings to [$choice]: " answer || true
    choice=${answer:-$choice}
fi
echo "== kestrel-cli send --printer \"$choice\""
yes=()
[ -t 0 ] || yes=(--yes)
status=0
"${kestrel[@]}" send --printer "$choice" "${yes[@]}" || status=$?
job=$(ls "$demo"/virtual-jobs/*.prn 2>/dev/null | tail -n 1 || true)
if [ -n "$job" ]; then
    echo
    echo "== The printer on \"$choice\" receives ($(stat -c %s "$job") bytes, $job):"
    od -An -tx1 -v "$job"
fi
exit $status
