#!/usr/bin/env bash
# The three setting jobs through a private CUPS scheduler: kestrel-cli sends, the capture backend
# keeps what the printer would receive, and the bytes must be exactly the expected streams. A queue
# that goes away or starts rejecting jobs between the check and the job (while the question is
# on screen) fails with the message of the job step that failed; named up-front, the check itself
# refuses it.
set -euo pipefail
cli=${1:?path to kestrel-cli}
source "$(dirname "$0")/harness.sh"


# The KR-500 factory defaults under the OVERSEA spec, sent to a non-serial port (8 data bits):
# Max Speed 4, PNE Detect disabled.
init_kr500="18 18 18 18 18 1d 28 45 03 00 01 49 4e \
1d 28 45 1c 00 03 01 30 30 32 30 30 31 30 31 02 32 32 32 32 32 32 32 31 08 30 32 31 32 32 32 32 32 \
1d 28 45 16 00 05 01 04 00 02 07 00 05 00 00 06 04 00 61 00 00 74 01 00 76 00 00 \
1d 28 45 08 00 0b 01 31 31 35 32 30 30 \
1d 28 45 03 00 0b 02 30 1d 28 45 03 00 0b 04 38 1d 28 45 03 00 0b 03 30 \
1d 28 45 0a 00 03 7e 30 30 31 31 30 31 30 31 \
1d 28 45 0a 00 03 7f 30 32 30 30 30 32 32 31 \
1d 28 45 0a 00 03 7d 32 32 32 32 32 32 32 30 \
1d 28 45 04 00 02 4f 55 54"
# The same record sent: eight customize values, paper width 48 columns.
send_kr500=${init_kr500/1d 28 45 16 00 05 01 04 00 02 07 00/1d 28 45 19 00 05 01 04 00 02 07 00 03 30 00}
list_stream="18 18 18 18 18 1d 28 41 02 00 00 02"

cups_start
cups_add_queue KR500 "ZOT KR-500 Raster" usb://ZOT/KR-500
cups_add_queue Doomed "ZOT KR-500 Raster" usb://ZOT/KR-500?serial=2
cups_add_queue Rejecting "ZOT KR-500 Raster" usb://ZOT/KR-500?serial=3

work=$(mktemp -d)
cups_on_exit() { rm -rf -- "$work"; }
folder="$work/folder"
mkdir "$folder"

check_job() {
    local command=$1 expected=$2 n=$3 file
    echo "-- $command"
    "$cli" --folder "$folder" "$command" --printer KR500 --yes >"$work/out" 2>"$work/err" ||
        fail "$command exited $?: $(cat "$work/err")"
    cups_wait_jobs_done || fail "$command: job did not complete"
    file=$(cups_capture_file KR500 "$n") || fail "$command: nothing captured"
    [ "$(hex "$file")" = "$expected" ] ||
        fail "$command: captured bytes differ:\n$(hex "$file")\nexpected\n$expected"
    echo "   $(stat -c %s "$file") bytes captured as expected"
}

check_job init "$init_kr500" 1
check_job send "$send_kr500" 2
check_job list-print "$list_stream" 3

# Runs COMMAND on QUEUE without --yes, its answers coming through a FIFO; once its question is on
# stderr (the queue has passed the check by then), runs the rest of the arguments, then answers
# $answer ("y" when unset). Sets status to kestrel-cli's exit status.
answer_after() {
    local command=$1 queue=$2 fifo="$work/answers" pid i
    shift 2
    rm -f -- "$fifo" "$work/err"
    mkfifo "$fifo"
    # Held open for reading and writing, the FIFO never blocks either side on open.
    exec 3<>"$fifo"
    timeout 60 "$cli" --folder "$folder" "$command" --printer "$queue" <"$fifo" \
        >"$work/out" 2>"$work/err" &
    pid=$!
    for ((i = 0; i < 200; i++)); do
        grep -qF 'y/N]' "$work/err" 2>/dev/null && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    if ! grep -qF 'y/N]' "$work/err"; then
        kill "$pid" 2>/dev/null || true
        exec 3>&-
        fail "$command $queue asked nothing:\n$(cat "$work/err")"
    fi
    "$@"
    echo "${answer:-y}" >&3
    set +e
    wait "$pid"
    status=$?
    set -e
    exec 3>&-
}

echo "-- a queue that is deleted after the check"
answer_after send Doomed lpadmin -x Doomed
err=$(cat "$work/err")
[ $status -eq 1 ] || fail "deleted queue: exit status $status, expected 1: $err"
expected=$'The printer cannot be opened.\nThe output device might be used by other applications.'
[[ "$err" == *"$expected"* ]] || fail "deleted queue: stderr lacks\n$expected\n---- stderr:\n$err"
[ -z "$(cups_captured_files Doomed)" ] || fail "deleted queue captured a job"
echo "   exit 1: ${expected%%$'\n'*}"

echo "-- a queue that rejects jobs after the check"
answer_after list-print Rejecting cupsreject Rejecting
err=$(cat "$work/err")
[ $status -eq 1 ] || fail "rejecting queue: exit status $status, expected 1: $err"
[[ "$err" == *"Printer Error!!  Check the printer."* ]] ||
    fail "rejecting queue: stderr lacks the message:\n$err"
[ -z "$(cups_last_job_id Rejecting)" ] || fail "rejecting queue took a job"
[ -z "$(cups_captured_files Rejecting)" ] || fail "rejecting queue captured a job"
echo "   exit 1: Printer Error!!  Check the printer."

echo "-- answering no sends nothing"
answer=n answer_after send KR500 true
err=$(cat "$work/err")
[ $status -eq 1 ] || fail "answer no: exit status $status, expected 1: $err"
[[ "$err" == *"Nothing was sent."* ]] || fail "answer no: $err"
[ "$(cups_captured_files KR500 | wc -l)" -eq 3 ] || fail "answer no: a job was sent"
echo "   exit 1, still 3 captures"

echo "-- queues refused by the check before any question"
for queue in Doomed Rejecting; do
    set +e
    "$cli" --folder "$folder" send --printer "$queue" --yes >"$work/out" 2>"$work/err"
    status=$?
    set -e
    err=$(cat "$work/err")
    [ $status -eq 3 ] || fail "$queue named up-front: exit status $status, expected 3: $err"
    echo "   $queue: exit 3: ${err%%$'\n'*}"
done
[[ "$err" == *"Printer is OFFLINE."* ]] || fail "Rejecting up-front: $err"
[ -z "$(cups_captured_files Doomed)$(cups_captured_files Rejecting)" ] || fail "a refused queue captured a job"

echo "PASS"
