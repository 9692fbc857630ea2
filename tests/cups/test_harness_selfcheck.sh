#!/bin/bash
# The harness itself: a job of every byte value reaches the capture byte for byte, and the private
# scheduler and its folder are gone after a normal end, a failure under set -e, SIGINT and SIGTERM.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
work=$(mktemp -d /tmp/kestrel-selfcheck.XXXXXX) || exit 1
trap 'rm -rf -- "$work"' EXIT
for ((i = 0; i < 256; i++)); do printf "\\x$(printf %02x "$i")"; done >"$work/job.bin"

# A script that starts the scheduler, notes its pid and folder, then ends as $3 says.
session='source "$1/harness.sh"; cups_start || exit 1
    echo "$CUPS_DAEMON_PID $CUPS_TEST_DIR" >"$2/daemon"
    case $3 in
    end) cups_add_queue Q "ZOT KR-500 Raster" usb://ZOT/KR-500 &&
        lp -d Q -o raw "$2/job.bin" >/dev/null && cups_wait_jobs_done &&
        cmp "$2/job.bin" "$(cups_job_capture Q "$(cups_last_job_id Q)")" ;;
    set-e) set -e; false; echo not reached ;;
    *) for ((i = 0; i < 300; i++)); do sleep 0.2; done ;;
    esac'
set -m # job control, so that a background shell does not ignore SIGINT
for how in end set-e INT TERM; do
    rm -f "$work/daemon"
    bash -c "$session" _ "$here" "$work" "$how" &
    pid=$!
    if [ "${how^^}" = "$how" ]; then
        for ((i = 0; i < 100; i++)); do [ -s "$work/daemon" ] && break; sleep 0.1; done
        kill "-$how" "$pid"
    fi
    wait "$pid"
    status=$?
    read -r daemon dir <"$work/daemon" || { fault "$how: no scheduler started"; continue; }
    if [ "$how" = end ] && [ "$status" -ne 0 ]; then
        fault "the job of every byte value did not come through ($status)"
    elif [ "$how" != end ] && [ "$status" -eq 0 ]; then
        fault "$how: the session ended with 0"
    fi
    if kill -0 "$daemon" 2>/dev/null; then
        fault "$how: cupsd $daemon still runs"
        kill "$daemon"
    elif [ -e "$dir" ]; then
        fault "$how: $dir left behind"
    else
        echo "ok: $how: status $status, scheduler stopped and removed"
    fi
done
finish
