#!/usr/bin/env bash
# The windowed program driven only by its keyboard, as a till installer would: the real `kestrel`
# binary under Xvfb with a window manager, against a private CUPS scheduler with a KR-900 queue.
# It chooses the queue, sets Paper Width to 58mm/32column, sends with Alt+C, registers a logo in
# the logo dialog, closes with Alt+X and Yes, and starts again from the same folder to send the
# saved record once more (while a second copy is refused). The bytes the
# printer receives must be exactly what kestrel-cli builds for the same record.
set -euo pipefail
build=${1:?build folder}
here=$(cd "$(dirname "$0")" && pwd)
kestrel=$build/src/app/kestrel
cli=$build/kestrel-cli
source "$here/../cups/harness.sh"
source "$here/x11-session.sh"

fail() {
    echo "FAIL: $*" >&2
    [ -f "${work:-}/kestrel.log" ] && sed 's/^/kestrel: /' "$work/kestrel.log" >&2
    exit 1
}

cups_start
cups_add_queue KR500 "ZOT KR-500 Raster" usb://ZOT/KR-500
cups_add_queue KR900 "ZOT KR-900 Raster" usb://ZOT/KR-900
cups_add_queue Office "Generic Laser" socket://192.0.2.1

work=$(mktemp -d)
app_pid=
cups_on_exit() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    x11_stop
    rm -rf -- "$work"
}
x11_start || fail "no X display"
folder="$work/till"
mkdir "$folder"

start_kestrel() {
    (cd "$folder" && exec "$kestrel" >>"$work/kestrel.log" 2>&1) &
    app_pid=$!
    # The main window comes first, then the selection dialog over it.
    x11_wait_active dialog 20 || fail "the printer selection dialog did not open"
}

# Chooses the KR-900 queue by typing its first letters, then OK.
choose_kr900() {
    x11_type "KR9"
    x11_key Return
    x11_wait_active normal 10 || fail "the main window is not active after the choice"
}

# Alt+C, then OK at the question; waits for the n-th job of the KR-900 queue.
send_settings() {
    local n=$1 tries
    x11_key alt+c
    x11_wait_active dialog 10 || fail "Alt+C asked no question"
    x11_key Return
    for ((tries = 0; tries < 100; tries++)); do
        cups_capture_file KR900 "$n" >/dev/null && break
        sleep 0.1
    done
    cups_wait_jobs_done KR900 || fail "the job did not finish"
    cups_capture_file KR900 "$n" >/dev/null || fail "no job $n reached the KR-900 queue"
    x11_wait_active normal 10 || fail "the main window is not active after the send"
}

wait_exit() {
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid" || fail "kestrel exited with $?"; app_pid=; return 0; }
        sleep 0.1
    done
    fail "kestrel did not end"
}

echo "-- first run: choose the KR-900, set Paper Width, send, close with Yes"
start_kestrel
choose_kr900
# Ctrl+Tab: the Customize Value page, focus on its first setting (User NV Memory); two Tabs
# reach Paper Width, whose last option is 58mm/32column.
x11_key ctrl+Tab
x11_key Tab Tab End
send_settings 1

echo "-- Alt+R: a logo typed into slot 2 and registered"
logo="$here/../../../shared/testdata/bmpsuite/good/pal8.bmp"
x11_key alt+r
x11_wait_active dialog 10 || fail "Alt+R opened no logo dialog"
# Each slot is walked as 2Color, path, Refer, Delete, Regist, Print.
x11_key --repeat 7 Tab
x11_type "$logo"
x11_key --repeat 3 Tab
x11_key space
x11_wait_active dialog 10 || fail "Regist asked no question"
x11_key Return
for ((tries = 0; tries < 100; tries++)); do
    cups_capture_file KR900 2 >/dev/null && break
    sleep 0.1
done
cups_wait_jobs_done KR900 || fail "the logo job did not finish"
"$cli" --folder "$folder" logo register --printer KR900 --slot 2 --yes \
    --dry-run "$work/logo.bin" "$logo" >/dev/null || fail "kestrel-cli could not build the logo job"
cmp "$work/logo.bin" "$(cups_capture_file KR900 2)" ||
    fail "the registered logo differs from kestrel-cli's define command"
# From Regist of slot 2 to Exit: Print, three slots of six, Confirmation print, Exit.
x11_key --repeat 21 Tab
x11_key space
x11_wait_active normal 10 || fail "Exit did not close the logo dialog"

x11_key alt+x
x11_wait_active dialog 10 || fail "Alt+X asked no close question"
x11_key y
wait_exit
[ -f "$folder/kestrel.ini" ] || fail "Yes at the close question wrote no kestrel.ini"
"$cli" --folder "$folder" settings show >"$work/shown" || fail "kestrel-cli cannot read kestrel.ini"
grep -q 'Paper Width.*58mm/32column' "$work/shown" || fail "kestrel.ini does not hold the new paper width: $(grep 'Paper Width' "$work/shown")"

# What the printer must receive for that record, built by the command-line tool.
"$cli" --folder "$folder" send --printer KR900 --yes --dry-run "$work/expected.bin" >/dev/null ||
    fail "kestrel-cli could not build the expected stream"
cmp "$work/expected.bin" "$(cups_capture_file KR900 1)" ||
    fail "the sent stream differs from kestrel-cli's for the same record"

echo "-- second run from the same folder: the saved record is sent again; close with No"
cp "$folder/kestrel.ini" "$work/saved.ini"
start_kestrel
choose_kr900

echo "-- a second copy is refused while the first runs"
(cd "$folder" && exec "$kestrel" >"$work/second.log" 2>&1) &
second_pid=$!
x11_wait_active dialog 20 || fail "the second copy showed no message"
[ "$(xdotool getactivewindow getwindowname)" = KESTREL ] || fail "the message is not KESTREL's"
x11_key Return
for ((tries = 0; tries < 100; tries++)); do
    kill -0 "$second_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$second_pid" 2>/dev/null && fail "the second copy did not end"
wait "$second_pid" || fail "the second copy ended with $?"
kill -0 "$app_pid" 2>/dev/null || fail "the first copy ended with the second"
xdotool search --pid "$app_pid" --name KESTREL windowactivate --sync >/dev/null 2>&1 || true
x11_wait_active normal 10 || fail "the first copy's window is not active again"
send_settings 3
cmp "$(cups_capture_file KR900 1)" "$(cups_capture_file KR900 3)" ||
    fail "the second run did not send the saved record"
x11_key alt+x
x11_wait_active dialog 10 || fail "Alt+X asked no close question"
x11_key n
wait_exit
cmp "$work/saved.ini" "$folder/kestrel.ini" || fail "No at the close question changed kestrel.ini"
[ -z "$(cups_captured_files KR500)" ] || fail "a job went to the KR-500 queue"
echo "PASS: keyboard run: $(stat -c %s "$(cups_capture_file KR900 1)")-byte stream sent twice"
