#!/bin/bash
# The PC's serial line of a printer on a serial port lives in the options of the queue's serial:
# device URI. kestrel-cli reads it from there, and once a settings job has left the queue rewrites
# it to the sent settings, keeping every other option; the job itself goes out on the old line.
# While the job is still queued the URI stays (the scheduler would restart the job at the new
# speed) and the user is told why; a line that would not change is neither waited for nor
# rewritten. Usage: test_serial.sh CLI
cli=${1:?kestrel-cli}
source "$(dirname "$0")/harness.sh"
cups_start || exit 1
work=$CUPS_TEST_DIR
line() { lpstat -v Serial | sed 's/^device for [^:]*: serial:\/dev\/null?//'; }
waiting="The settings job is still waiting in the print queue, so the PC's serial line was not changed."
# show BAUD FORMAT PROTOCOL: the working configuration shows the PC's line.
show() {
    "$cli" settings show --printer Serial --json >"$work/show.json" || fail "settings show: $?"
    local got
    got=$(for label in Baudrate Format Protocol; do
        json_field "$work/show.json" label "$label" text
    done)
    [ "$got" = "$(printf '"%s"\n' "$@")" ] || fault "the PC's line shows as $got, not $*"
}

old=baud=9600+bits=7+parity=even+stop=1+flow=soft+extra=keep
fast=baud=19200+bits=8+parity=none+stop=1+flow=dtrdsr+extra=keep
cups_add_queue Serial "ZOT KR-900 Raster" "serial:/dev/null?$old" || exit 1
show 9600BPS 7EVEN1 XON/XOFF
"$cli" settings set "$work/fast.kcf" Baudrate=19200BPS Format=8NONE1 Protocol=DSR/DTR >/dev/null
"$cli" settings set "$work/slow.kcf" Baudrate=38400BPS Format=7ODD1 Protocol=XON/XOFF >/dev/null

echo "-- send 19200 8NONE1 DSR/DTR"
expect 0 "Job sent to Serial" send --printer Serial --settings fast.kcf --yes
grep -qF "$waiting" "$work/out" && fault "the job was said to be waiting"
job=$(cups_last_job_id Serial)
cups_job_done "$job" || fault "the URI was rewritten before job $job completed"
[ "$(cat "$CAPTURE_DIR/Serial-$job.uri")" = "serial:/dev/null?$old" ] ||
    fault "the job went out on $(cat "$CAPTURE_DIR/Serial-$job.uri")"
[ "$(line)" = "$fast" ] || fault "the line after the send is $(line)"
show 19200BPS 8NONE1 DSR/DTR

echo "-- while the printer does not take the jobs: the same line, then a new one"
cups_hang Serial
start=$SECONDS
expect 0 "Job sent to Serial" send --printer Serial --settings fast.kcf --yes --serial-wait 5
grep -qF "$waiting" "$work/out" && fault "a line that does not change was waited for"
[ $((SECONDS - start)) -lt 5 ] || fault "a line that does not change was waited for"
start=$SECONDS
expect 0 "$waiting" send --printer Serial --settings slow.kcf --yes --serial-wait 3
[ $((SECONDS - start)) -ge 3 ] || fault "kestrel-cli gave up before the 3 s bound"
[ "$(line)" = "$fast" ] || fault "the line changed while the job was queued: $(line)"
cups_release Serial
cups_wait_jobs_done || fail "the held-up jobs did not complete"
[ "$(line)" = "$fast" ] || fault "the line changed after kestrel-cli ended: $(line)"

finish
