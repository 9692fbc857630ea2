#!/bin/bash
# A scheduler that stops answering (SIGSTOP: it still takes connections but never replies) ends
# every command with the program's own code and message within the bound on each request; a
# queue that starts rejecting jobs is refused with its message. Usage: test_scheduler_faults.sh CLI
cli=${1:?kestrel-cli}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/harness.sh"
cups_start || exit 1
cups_add_queue KR900 "ZOT KR-900 Raster" usb://ZOT/KR-900 || exit 1
folder=$(mktemp -d /tmp/kestrel-faults.XXXXXX) || exit 1
cups_on_exit() {
    kill -CONT "$CUPS_DAEMON_PID" 2>/dev/null
    rm -rf -- "$folder"
}
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# run EXPECTED_STATUS TEXT ARGS...: the command ends with that status, says TEXT, within 40 s.
run() {
    local expected=$1 text=$2 start status
    shift 2
    start=$SECONDS
    (cd "$folder" && timeout 60 "$cli" "$@" >"$folder/out" 2>"$folder/err")
    status=$?
    local took=$((SECONDS - start))
    if [ "$status" -ne "$expected" ] || ! grep -qF "$text" "$folder/err" "$folder/out" ||
        [ "$took" -gt 40 ]; then
        fail "$*: exit $status after $took s (wanted $expected, \"$text\"): $(cat "$folder/err")"
    else
        echo "ok: $* -> exit $status after $took s: $(head -c 160 "$folder/err" | tr '\n' ' ')"
    fi
}

echo "-- a stopped scheduler"
kill -STOP "$CUPS_DAEMON_PID"
run 1 "the print system cannot be reached" printers
run 3 "the print system cannot be reached" send --printer KR900 --yes
kill -CONT "$CUPS_DAEMON_PID"
run 0 "" send --printer KR900 --yes --dry-run "$folder/job.bin"

echo "-- the scheduler stops while the question waits for its answer"
mkfifo "$folder/answers"
exec 3<>"$folder/answers"
start=$SECONDS
(cd "$folder" && timeout 60 "$cli" send --printer KR900 <"$folder/answers" >"$folder/out" 2>"$folder/err") &
asked=$!
for ((i = 0; i < 100; i++)); do grep -qF 'y/N]' "$folder/err" 2>/dev/null && break; sleep 0.1; done
kill -STOP "$CUPS_DAEMON_PID"
echo y >&3
wait "$asked"
status=$?
kill -CONT "$CUPS_DAEMON_PID"
if [ "$status" -ne 1 ] || ! grep -qF "The printer cannot be opened." "$folder/err" ||
    [ $((SECONDS - start)) -gt 40 ]; then
    fail "stopped after the question: exit $status after $((SECONDS - start)) s: $(cat "$folder/err")"
else
    echo "ok: stopped after the question -> exit 1 after $((SECONDS - start)) s"
fi

echo "-- a queue that starts rejecting jobs"
cupsreject KR900
run 3 "Printer is OFFLINE." send --printer KR900 --yes
cupsaccept KR900
run 0 "" send --printer KR900 --yes

# The scheduler takes the job and then, under CUPS' default error policy, pauses the queue, so the
# next command is refused with the paused queue's message.
echo "-- a backend that fails"
lpadmin -p KR900 -o printer-error-policy=stop-printer
: >"$CAPTURE_DIR/KR900.fail" && chmod 0644 "$CAPTURE_DIR/KR900.fail"
run 0 "" send --printer KR900 --yes
for ((i = 0; i < 100; i++)); do lpstat -p KR900 | grep -q disabled && break; sleep 0.1; done
run 3 "Pause Printing is set." send --printer KR900 --yes
cancel -a KR900
rm -f "$CAPTURE_DIR/KR900.fail"
cupsenable KR900
run 0 "" send --printer KR900 --yes

exit $((failures > 0))
