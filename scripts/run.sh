#!/usr/bin/env bash
# Builds KESTREL and runs it.
#
#   scripts/run.sh            the windowed program `kestrel` on the embedded virtual print system
#                             (no printer or CUPS needed): a KR-900 on a serial port, a KR-500 on
#                             USB and queues with the problems the checks catch. Jobs the program
#                             sends are written to build-run/demo/virtual-jobs/. Without a display
#                             it runs under Xvfb for a few seconds and leaves a screenshot.
#   scripts/run.sh ARGS...    kestrel-cli ARGS... against your own CUPS queues, e.g.
#                             scripts/run.sh printers
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_TESTS=OFF -DKESTREL_BENCH=OFF \
    >/dev/null
cmake --build build-run -j"$(nproc)" --target kestrel-cli kestrel >/dev/null

if [ $# -gt 0 ]; then
    exec "$root/build-run/kestrel-cli" "$@"
fi

# A fresh copy of the virtual queues and a start-up folder for the working configuration, so the
# run leaves the repository as it was.
demo="$root/build-run/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp resources/virtual-printers.ini "$demo/"
kestrel=("$root/build-run/src/app/kestrel" --print-system=virtual
    --virtual-config "$demo/virtual-printers.ini")

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    cd "$demo"
    exec "${kestrel[@]}"
fi

echo "No display (DISPLAY and WAYLAND_DISPLAY are not set): running kestrel under Xvfb for a"
echo "few seconds instead."
source "$root/tests/gui/x11-session.sh"
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    x11_stop
}
trap cleanup EXIT
x11_start
(cd "$demo" && exec "${kestrel[@]}" >"$demo/kestrel.log" 2>&1) &
app_pid=$!
x11_wait_active dialog 20 || { cat "$demo/kestrel.log"; exit 1; }
x11_type "KR-900 S"
x11_key Return
x11_wait_active normal 10 || { cat "$demo/kestrel.log"; exit 1; }
sleep 2
shot="$demo/kestrel.png"
import -window root "$shot"
x11_key alt+x
x11_wait_active dialog 10 && x11_key n
wait "$app_pid" || true
app_pid=
echo "Screenshot of the program's main window: $shot"
