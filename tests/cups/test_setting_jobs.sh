#!/bin/bash
# The setting jobs through a private CUPS scheduler: what the printer receives is byte for byte
# the stream kestrel-cli builds (its bytes are checked by the unit tests), `send --save` keeps the
# record for the next send, and a queue that goes away or starts rejecting jobs while the question
# is on screen fails with the message of the job step that failed. A separator page and a held job
# are read from the scheduler. Usage: test_setting_jobs.sh CLI
cli=${1:?kestrel-cli}
source "$(dirname "$0")/harness.sh"
cups_start || exit 1
for queue in KR500 Doomed Rejecting; do
    cups_add_queue "$queue" "ZOT KR-500 Raster" "usb://ZOT/KR-500?serial=$queue" || exit 1
done
cups_add_queue Banner "ZOT KR-900 Raster" usb://ZOT/KR-900 -o job-sheets-default=standard,none &&
    printf "held job\n" | lp -H hold -d Doomed -o raw >/dev/null || exit 1
work=$CUPS_TEST_DIR
"$cli" printers --json >"$work/printers.json" || fail "printers exited $?"
got=$(json_field "$work/printers.json" name Banner status usable jobs)
[ "$got" = "7 false 0" ] || fault "the queue with a separator page shows as $got"
[ "$(json_field "$work/printers.json" name Doomed jobs)" = 1 ] || fault "the held job is not listed"
last_capture() { cups_job_capture KR500 "$(cups_last_job_id KR500)"; }

for command in init send list-print; do
    expect 0 "Job written to" "$command" --printer KR500 --yes --dry-run "$command.bin"
    expect 0 "Job sent to KR500" "$command" --printer KR500 --yes
    cups_wait_jobs_done KR500 || fail "$command: the job did not complete"
    cmp -s "$work/$command.bin" "$(last_capture)" || fault "$command: the printer got other bytes"
done

"$cli" settings set "$work/edited.kcf" "Paper Width=58mm/32column" "Buzzer=Enable" >/dev/null
expect 0 "Job sent to KR500" send --printer KR500 --settings edited.kcf --save --yes
cups_wait_jobs_done KR500 && cp "$(last_capture)" "$work/edited.bin"
expect 0 "58mm/32column" settings show kestrel.ini
expect 0 "Job sent to KR500" send --printer KR500 --yes
cups_wait_jobs_done KR500 && cmp -s "$work/edited.bin" "$(last_capture)" ||
    fault "the send from kestrel.ini differs from the send that saved it"
cmp -s "$work/send.bin" "$work/edited.bin" && fault "the edited record was not sent"

ask 1 "The output device might be used by other applications." 'lpadmin -x Doomed' \
    send --printer Doomed
ask 1 "Printer Error!!  Check the printer." 'cupsreject Rejecting' list-print --printer Rejecting
[ "$(cups_captured_count Doomed)$(cups_captured_count Rejecting)" = 00 ] &&
    [ -z "$(cups_last_job_id Rejecting)" ] || fault "a queue that went away or rejects got a job"
finish
