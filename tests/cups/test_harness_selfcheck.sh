#!/bin/bash
# Checks the CUPS test harness itself: the private scheduler comes up and goes away, queues get
# the driver names and device URIs they are given, and raw jobs reach the capture backend byte
# for byte. Usage: bash test_harness_selfcheck.sh [kestrel-cli] (the program is not needed here).

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WORK=$(mktemp -d /tmp/kestrel-selfcheck.XXXXXX) || exit 1
trap 'rm -rf -- "$WORK"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() {
    echo "ok: $*"
}

# A job of every byte value, with the ESC/GS framing bytes a receipt printer sees.
{
    printf '\x1b@\x1d(E\x03\x00\x01IN'
    for ((i = 0; i < 256; i++)); do printf "\\x$(printf %02x "$i")"; done
    printf '\x1b@'
} >"$WORK/job.bin"
[ "$(wc -c <"$WORK/job.bin")" -eq 268 ] || fail "test job is $(wc -c <"$WORK/job.bin") bytes"

# --- A scheduler session in a subshell; what it leaves behind is checked afterwards. ---
(
    source "$HERE/harness.sh"
    cups_start || exit 1
    echo "$CUPS_DAEMON_PID $CUPS_TEST_DIR" >"$WORK/daemon"

    # name|driver|device URI|extra lpadmin options
    queues=(
        "KR900|ZOT KR-900 Raster|usb://ZOT/KR-900?serial=0001|"
        "KR900BM|ZOT KR-900 Raster (BM)|serial:/dev/null?baud=9600+bits=8+parity=none+flow=dtrdsr|"
        "KR700|ZOT KR-700 Raster|parallel:/dev/null|"
        "KR500|ZOT KR-500 Raster|socket://127.0.0.1:9100|"
        "KR500-2|ZOT KR-500 Raster|lpd://127.0.0.1/queue|"
        "TEXT|Generic Text-Only|ipp://127.0.0.1:1/printers/x|"
        "BANNER|ZOT KR-900 Raster|usb://ZOT/KR-900?serial=0002|-o job-sheets-default=standard,none"
    )
    declare -A job
    for entry in "${queues[@]}"; do
        IFS='|' read -r name driver uri extra <<<"$entry"
        # shellcheck disable=SC2086
        if ! cups_add_queue "$name" "$driver" "$uri" $extra; then
            fail "cannot add queue $name"
            continue
        fi
        model=$(lpoptions -p "$name" | grep -o "printer-make-and-model='[^']*'")
        [ "$model" = "printer-make-and-model='$driver'" ] && pass "$name driver name" ||
            fail "$name: $model, not '$driver'"
        device=$(lpstat -v "$name" | sed 's/^device for [^:]*: //')
        [ "$device" = "$uri" ] && pass "$name device URI" || fail "$name device URI is $device"
        id=$(lp -d "$name" -o raw "$WORK/job.bin" | sed -n 's/^request id is .*-\([0-9]*\) .*/\1/p')
        [ -n "$id" ] && job[$name]=$id || fail "$name: lp gave no job id"
    done

    # The same scheduler over TCP.
    if CUPS_SERVER=$CUPS_TEST_HOSTPORT lpstat -v KR900 | grep -q 'usb://ZOT/KR-900'; then
        pass "scheduler answers on $CUPS_TEST_HOSTPORT"
    else
        fail "no answer on $CUPS_TEST_HOSTPORT"
    fi

    cups_wait_jobs_done || fail "jobs did not finish"
    for entry in "${queues[@]}"; do
        IFS='|' read -r name driver uri extra <<<"$entry"
        id=${job[$name]:-}
        [ -n "$id" ] || continue
        state=$(cups_job_state "$id")
        [ "$state" = completed ] || fail "$name job $id is '$state'"
        capture=$(cups_job_capture "$name" "$id")
        [ "$(cups_job_uri "$name" "$id" 2>/dev/null)" = "$uri" ] && pass "$name captured URI" ||
            fail "$name job $id URI: $(cups_job_uri "$name" "$id" 2>&1)"
        if [ "$name" = BANNER ]; then
            # The separator page comes first, then the job unchanged.
            if cat "$CUPS_TEST_DIR/data/banners/standard" "$WORK/job.bin" | cmp -s - "$capture"; then
                pass "BANNER captured separator page and job"
            else
                fail "BANNER capture differs: $(od -c "$capture" 2>&1 | head -3)"
            fi
            continue
        fi
        cmp -s "$WORK/job.bin" "$capture" && pass "$name captured bytes" ||
            fail "$name capture differs from the job ($(wc -c <"$capture" 2>&1))"
    done

    # KR500 and KR500-2 must not see each other's captures.
    mapfile -t files < <(cups_captured_files KR500)
    [ "${#files[@]}" -eq 1 ] && [ "$(cups_capture_file KR500 1)" = "$(cups_job_capture KR500 "${job[KR500]}")" ] &&
        pass "captures listed per queue" || fail "KR500 captures: ${files[*]}"

    # A second job to the same queue is the second capture, and the last.
    lp -d KR700 -o raw -n 2 "$WORK/job.bin" >/dev/null
    cups_wait_jobs_done KR700 || fail "second KR700 job did not finish"
    [ "$(cups_captured_files KR700 | wc -l)" -eq 2 ] || fail "KR700 has not 2 captures"
    cat "$WORK/job.bin" "$WORK/job.bin" | cmp -s - "$(cups_capture_file KR700 2)" &&
        [ "$(cups_capture_file KR700 -1)" = "$(cups_capture_file KR700 2)" ] &&
        pass "two copies captured as the second job" || fail "KR700 second capture is not 2 copies"
    cups_capture_file KR700 3 >/dev/null && fail "KR700 has a third capture"

    # A hanging backend keeps the job processing; cancelling it leaves no capture.
    cups_hang KR900
    id=$(lp -d KR900 -o raw "$WORK/job.bin" | sed -n 's/^request id is .*-\([0-9]*\) .*/\1/p')
    cups_wait_job_state "$id" processing 10 && pass "hang keeps job $id processing" ||
        fail "job $id not processing"
    sleep 0.5
    [ -e "$(cups_job_capture KR900 "$id")" ] && fail "hanging job $id was captured"
    cancel "$id"
    cups_wait_job_state "$id" canceled 10 || fail "job $id not canceled"
    sleep 0.5
    [ -e "$(cups_job_capture KR900 "$id")" ] && fail "canceled job $id was captured"
    id=$(lp -d KR900 -o raw "$WORK/job.bin" | sed -n 's/^request id is .*-\([0-9]*\) .*/\1/p')
    cups_wait_job_state "$id" processing 10 || fail "job $id not processing"
    cups_release KR900
    cups_wait_job_state "$id" completed 10 && cmp -s "$WORK/job.bin" "$(cups_job_capture KR900 "$id")" &&
        pass "released job $id captured" || fail "released job $id"

    # Held, paused and rejecting queues.
    id=$(lp -d KR500 -H hold -o raw "$WORK/job.bin" | sed -n 's/^request id is .*-\([0-9]*\) .*/\1/p')
    [ "$(cups_job_state "$id")" = held ] && pass "held job" || fail "job $id is not held"
    cups_wait_jobs_done -t 1 KR500 2>/dev/null && fail "cups_wait_jobs_done ignored a held job"
    cancel "$id"
    cupsdisable KR700
    id=$(lp -d KR700 -o raw "$WORK/job.bin" | sed -n 's/^request id is .*-\([0-9]*\) .*/\1/p')
    sleep 0.5
    [ "$(cups_job_state "$id")" = pending ] && pass "paused queue keeps job pending" ||
        fail "job $id on paused queue is $(cups_job_state "$id")"
    cupsenable KR700
    cups_wait_job_state "$id" completed 10 || fail "job $id did not print after enable"
    cupsreject KR500
    lp -d KR500 -o raw "$WORK/job.bin" >/dev/null 2>&1 && fail "rejecting queue took a job"
    cupsaccept KR500

    [ "$failures" -eq 0 ] || {
        cups__log_tail
        exit 1
    }
    exit 0
)
session=$?
[ "$session" -eq 0 ] || fail "scheduler session failed ($session)"

daemon_gone() {
    local pid=$1 dir=$2
    if kill -0 "$pid" 2>/dev/null; then
        fail "cupsd $pid still runs after $3"
        kill -TERM "$pid" 2>/dev/null
    elif [ -e "$dir" ]; then
        fail "$dir left behind after $3"
    else
        pass "scheduler stopped and removed after $3"
    fi
}
if read -r pid dir <"$WORK/daemon" 2>/dev/null; then
    daemon_gone "$pid" "$dir" "a normal exit"
else
    fail "the session did not start a scheduler"
fi

# A script that fails right after the start, and one interrupted while it waits.
rm -f "$WORK/daemon"
(
    source "$HERE/harness.sh"
    set -e
    cups_start
    echo "$CUPS_DAEMON_PID $CUPS_TEST_DIR" >"$WORK/daemon"
    false
    echo "not reached"
)
if read -r pid dir <"$WORK/daemon" 2>/dev/null; then
    daemon_gone "$pid" "$dir" "a failure"
else
    fail "the failing session did not start a scheduler"
fi

# Job control on, so that the background shell does not ignore SIGINT as scripts' background
# jobs otherwise do.
set -m
for sig in INT TERM; do
    rm -f "$WORK/daemon"
    bash -c 'source "$1/harness.sh"; cups_start || exit 1
             echo "$CUPS_DAEMON_PID $CUPS_TEST_DIR" >"$2/daemon"
             for ((i = 0; i < 300; i++)); do sleep 0.2; done' \
        _ "$HERE" "$WORK" &
    waiter=$!
    for ((i = 0; i < 100; i++)); do
        [ -s "$WORK/daemon" ] && break
        sleep 0.1
    done
    kill "-$sig" "$waiter"
    wait "$waiter"
    status=$?
    [ "$status" -ne 0 ] || fail "SIG$sig session exited with 0"
    if read -r pid dir <"$WORK/daemon" 2>/dev/null; then
        daemon_gone "$pid" "$dir" "SIG$sig"
    else
        fail "the SIG$sig session did not start a scheduler"
    fi
done
set +m

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all harness checks passed"
