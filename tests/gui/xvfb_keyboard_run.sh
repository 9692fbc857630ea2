#!/usr/bin/env bash
# The windowed program driven only by its keyboard, as a till installer would: the real `kestrel`
# binary under Xvfb with a window manager, against a private CUPS scheduler. It chooses the KR-900
# queue, sets Paper Width to 58mm/32column, sends with Alt+C, closes with Alt+X and Yes; started
# again from the same folder it refuses a second copy, sends the saved record once more and closes
# with No. The printer must receive exactly what kestrel-cli builds for the same record.
set -euo pipefail
build=${1:?build folder}
here=$(cd "$(dirname "$0")" && pwd)
cli=$build/kestrel-cli
source "$here/../cups/harness.sh"
source "$here/x11-session.sh"
fail() {
    echo "FAIL: $*" >&2
    sed 's/^/kestrel: /' "$work/kestrel.log" >&2 2>/dev/null
    exit 1
}

cups_start
cups_add_queue KR500 "ZOT KR-500 Raster" usb://ZOT/KR-500
cups_add_queue KR900 "ZOT KR-900 Raster" usb://ZOT/KR-900
cups_add_queue Office "Generic Laser" socket://192.0.2.1
work=$CUPS_TEST_DIR
folder=$work/till
mkdir "$folder"
app_pid=
cups_on_exit() {
    [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null
    x11_stop
}
# An unknown option ends the program with its usage before any window opens.
status=0
QT_QPA_PLATFORM=offscreen timeout 20 "$build/src/app/kestrel" --bogus 2>"$work/bogus.log" || status=$?
[ "$status" -eq 2 ] && grep -q '^kestrel: unknown option "--bogus"' "$work/bogus.log" ||
    fail "--bogus ended with $status: $(cat "$work/bogus.log")"
x11_start || fail "no X display"
kestrel() { (cd "$folder" && exec "$build/src/app/kestrel" >>"$work/${1:-kestrel}.log" 2>&1); }

# Starts kestrel and chooses the KR-900 queue in the selection dialog by its first letters.
start_and_choose() {
    kestrel &
    app_pid=$!
    x11_wait_active dialog 20 || fail "the printer selection dialog did not open"
    x11_type "KR9"
    x11_key Return
    x11_wait_active normal 10 || fail "the main window is not active after the choice"
}
# Waits until job N of the KR-900 queue has been captured.
wait_job() {
    for ((i = 0; i < 100; i++)); do [ -e "$(cups_job_capture KR900 "$1")" ] && return 0; sleep 0.1; done
    fail "no job $1 reached the KR-900 queue"
}
# Alt+C, then OK at the question.
send_settings() {
    x11_key alt+c
    x11_wait_active dialog 10 || fail "Alt+C asked no question"
    x11_key Return
    wait_job "$1"
    x11_wait_active normal 10 || fail "the main window is not active after the send"
}
# Alt+X, then KEY at the close question; kestrel must end with 0.
close_with() {
    x11_key alt+x
    x11_wait_active dialog 10 || fail "Alt+X asked no close question"
    x11_key "$1"
    for ((i = 0; i < 100; i++)); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app_pid" 2>/dev/null && fail "kestrel did not end"
    wait "$app_pid" || fail "kestrel exited with $?"
    app_pid=
}

echo "-- first run: Paper Width, send, close with Yes"
start_and_choose
# Ctrl+Tab: the Customize Value page, focus on its first setting; two Tabs reach Paper Width,
# whose last option is 58mm/32column.
x11_key ctrl+Tab
x11_key Tab Tab End
send_settings 1
close_with y
"$cli" --folder "$folder" settings show >"$work/shown"
grep -q 'Paper Width.*58mm/32column' "$work/shown" || fail "kestrel.ini does not hold the new paper width"
"$cli" --folder "$folder" send --printer KR900 --yes --dry-run "$work/send.bin" >/dev/null
cups_wait_jobs_done
cmp "$work/send.bin" "$(cups_job_capture KR900 1)" || fail "the sent stream is not kestrel-cli's"

echo "-- second run: a second copy refused, the saved record sent again, close with No"
cp "$folder/kestrel.ini" "$work/saved.ini"
start_and_choose
kestrel second &
second_pid=$!
x11_wait_active dialog 20 || fail "the second copy showed no message"
[ "$(xdotool getactivewindow getwindowname)" = KESTREL ] || fail "the message is not KESTREL's"
x11_key Return
wait "$second_pid" || fail "the second copy ended with $?"
kill -0 "$app_pid" 2>/dev/null || fail "the first copy ended with the second"
xdotool search --pid "$app_pid" --name KESTREL windowactivate --sync >/dev/null 2>&1 || true
x11_wait_active normal 10 || fail "the first copy's window is not active again"
send_settings 2
cmp "$(cups_job_capture KR900 1)" "$(cups_job_capture KR900 2)" || fail "the saved record was not sent"
close_with n
cmp "$work/saved.ini" "$folder/kestrel.ini" || fail "No at the close question changed kestrel.ini"
echo "PASS: keyboard run: $(stat -c %s "$(cups_job_capture KR900 1)")-byte stream sent twice"
