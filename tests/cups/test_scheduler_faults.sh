#!/bin/bash
# No scheduler at the socket, or one that stops answering (SIGSTOP: it takes connections but never
# replies), ends every command with the program's own code and message within the bound on each
# request; a queue that starts rejecting jobs, and a backend that fails, are refused with their
# messages. Usage: test_scheduler_faults.sh CLI
cli=${1:?kestrel-cli}
source "$(dirname "$0")/harness.sh"
cups_start && cups_add_queue KR900 "ZOT KR-900 Raster" usb://ZOT/KR-900 || exit 1
work=$CUPS_TEST_DIR
cups_on_exit() { kill -CONT "$CUPS_DAEMON_PID" 2>/dev/null; }
unreachable="the print system cannot be reached"

echo "-- no scheduler listens on the socket"
said="$unreachable: no answer from the CUPS scheduler at $work/none.sock"
CUPS_SERVER=$work/none.sock expect 1 "$said" printers
CUPS_SERVER=$work/none.sock expect 3 "$said" send --printer KR900 --yes

echo "-- a stopped scheduler, before the send and between the question and its answer"
kill -STOP "$CUPS_DAEMON_PID"
expect 1 "$unreachable" printers
expect 3 "$unreachable" send --printer KR900 --yes
kill -CONT "$CUPS_DAEMON_PID"
ask 1 "The printer cannot be opened." 'kill -STOP $CUPS_DAEMON_PID' send --printer KR900
kill -CONT "$CUPS_DAEMON_PID"

echo "-- a queue that starts rejecting jobs"
cupsreject KR900
expect 3 "Printer is OFFLINE." send --printer KR900 --yes
cupsaccept KR900
expect 0 "Job sent to KR900" send --printer KR900 --yes

# The scheduler takes the job; under the error policy stop-printer the failing backend pauses
# the queue, so the next command is refused with the paused queue's message.
echo "-- a backend that fails"
lpadmin -p KR900 -o printer-error-policy=stop-printer
install -m 0644 /dev/null "$CAPTURE_DIR/KR900.fail"
expect 0 "Job sent to KR900" send --printer KR900 --yes
for ((i = 0; i < 100; i++)); do lpstat -p KR900 | grep -q disabled && break; sleep 0.1; done
expect 3 "Pause Printing is set." send --printer KR900 --yes
finish
