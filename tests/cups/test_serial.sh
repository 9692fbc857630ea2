#!/usr/bin/env bash
# The PC's serial line of a printer on a serial port, through a private CUPS scheduler. The line
# settings live in the options of the queue's serial: device URI. kestrel-cli must read them as the
# PC's line (the working configuration shows them, and the data-length/parity order of the stream
# follows the PC's data bits), and after a settings job has left the queue rewrite them to the sent
# settings, keeping every other option. While the job is still in the queue the URI must stay as it
# is (the scheduler would restart the job at the new speed) and the user is told why.
set -euo pipefail
cli=${1:?path to kestrel-cli}
source "$(dirname "$0")/harness.sh"

device_uri() { lpstat -v "$1" | sed 's/^device for [^:]*: //'; }


# The base factory record (KR-900 full cutter: nothing differs) sent as settings with the serial
# values changed. Baud rate 19200; 8NONE1 while the PC's line is at 7 bits, so the data-length
# command ('8') comes before the parity command ('0'); DSR/DTR flow control.
head="18 18 18 18 18 1d 28 45 03 00 01 49 4e \
1d 28 45 1c 00 03 01 30 30 32 30 30 31 30 31 02 32 32 32 32 32 32 32 31 08 30 32 31 32 32 32 32 32 \
1d 28 45 19 00 05 01 04 00 02 07 00 03 30 00 05 00 00 06 09 00 61 00 00 74 01 00 76 00 00"
tail="1d 28 45 0a 00 03 7e 30 30 31 31 30 31 31 31 \
1d 28 45 0a 00 03 7f 30 32 30 30 30 32 32 31 \
1d 28 45 0a 00 03 7d 32 32 32 32 32 32 32 30 \
1d 28 45 04 00 02 4f 55 54"
data_length_8="1d 28 45 03 00 0b 04 38"
data_length_7="1d 28 45 03 00 0b 04 37"
parity_none="1d 28 45 03 00 0b 02 30"
parity_odd="1d 28 45 03 00 0b 02 31"
stream_19200_8n1_dtrdsr_from_7bit="$head 1d 28 45 07 00 0b 01 31 39 32 30 30 \
$data_length_8 $parity_none 1d 28 45 03 00 0b 03 30 $tail"
# 38400 baud, 7ODD1, XON/XOFF sent while the PC's line is at 8 bits: parity ('1') first.
stream_38400_7o1_soft_from_8bit="$head 1d 28 45 07 00 0b 01 33 38 34 30 30 \
$parity_odd $data_length_7 1d 28 45 03 00 0b 03 31 $tail"
still_waiting="The settings job is still waiting in the print queue, so the PC's serial line was not changed."

cups_start
work=$(mktemp -d)
cups_on_exit() { rm -rf -- "$work"; }
folder="$work/folder"
mkdir "$folder"

# Options that are not line settings (stop bits, an unknown one) must survive every rewrite.
queue=Serial
cups_add_queue "$queue" "ZOT KR-900 Raster" \
    "serial:/dev/null?baud=9600+bits=7+parity=even+stop=1+flow=soft+extra=keep"
echo "-- device URI at start: $(device_uri "$queue")"

echo "-- the working configuration takes the PC's line"
"$cli" --folder "$folder" settings show --printer "$queue" --json >"$work/show.json" 2>"$work/err" ||
    fail "settings show exited $?: $(cat "$work/err")"
for pair in 'Baudrate="9600BPS"' 'Format="7EVEN1"' 'Protocol="XON/XOFF"'; do
    label=${pair%%=*}
    want=${pair#*=}
    got=$(json_field "$work/show.json" label "$label" text) || fail "settings show has no $label"
    echo "   $label $got"
    [ "$got" = "$want" ] || fail "$label is $got, expected $want (the PC's line)"
done

"$cli" --folder "$folder" settings set "$work/fast.kcf" Baudrate=19200BPS Format=8NONE1 \
    Protocol=DSR/DTR >/dev/null 2>"$work/err" || fail "settings set exited $?: $(cat "$work/err")"
"$cli" --folder "$folder" settings set "$work/slow.kcf" Baudrate=38400BPS Format=7ODD1 \
    Protocol=XON/XOFF >/dev/null 2>"$work/err" || fail "settings set exited $?: $(cat "$work/err")"

echo "-- send 19200 8NONE1 DSR/DTR"
start=$SECONDS
"$cli" --folder "$folder" send --printer "$queue" --settings "$work/fast.kcf" --yes \
    >"$work/out" 2>"$work/err" || fail "send exited $?: $(cat "$work/err")"
echo "   kestrel-cli took $((SECONDS - start)) s"
[[ "$(cat "$work/err")" != *"$still_waiting"* ]] || fail "send said the job was still waiting"
job=$(cups_last_job_id "$queue")
[ "$(cups_job_state "$job")" = completed ] ||
    fail "the URI was rewritten while job $job is $(cups_job_state "$job")"
file=$(cups_job_capture "$queue" "$job")
[ -f "$file" ] || fail "job $job was not captured"
[ "$(hex "$file")" = "$stream_19200_8n1_dtrdsr_from_7bit" ] ||
    fail "captured bytes differ:\n$(hex "$file")\nexpected\n$stream_19200_8n1_dtrdsr_from_7bit"
echo "   job $job: $(stat -c %s "$file") bytes, data length before parity"
# The backend saw the URI of the old line: the job was not restarted at the new one.
[ "$(cups_job_uri "$queue" "$job")" = "serial:/dev/null?baud=9600+bits=7+parity=even+stop=1+flow=soft+extra=keep" ] ||
    fail "the job went out on $(cups_job_uri "$queue" "$job")"
uri=$(device_uri "$queue")
echo "   device URI now: $uri"
[ "$uri" = "serial:/dev/null?baud=19200+bits=8+parity=none+stop=1+flow=dtrdsr+extra=keep" ] ||
    fail "device URI after the send is $uri"

echo "-- the next start takes the new line"
"$cli" --folder "$folder" settings show --printer "$queue" --json >"$work/show.json" 2>"$work/err" ||
    fail "settings show exited $?: $(cat "$work/err")"
for pair in 'Baudrate="19200BPS"' 'Format="8NONE1"' 'Protocol="DSR/DTR"'; do
    got=$(json_field "$work/show.json" label "${pair%%=*}" text)
    [ "$got" = "${pair#*=}" ] || fail "${pair%%=*} is $got, expected ${pair#*=}"
done

echo "-- send 38400 7ODD1 XON/XOFF while the printer does not take the job"
cups_hang "$queue"
start=$SECONDS
set +e
"$cli" --folder "$folder" send --printer "$queue" --settings "$work/slow.kcf" --yes \
    --serial-wait 3 >"$work/out" 2>"$work/err"
code=$?
set -e
elapsed=$((SECONDS - start))
echo "   kestrel-cli exited $code after $elapsed s"
err=$(cat "$work/err")
[ "$code" -eq 0 ] || fail "send to a hanging printer exited $code: $err"
[[ "$err" == *"$still_waiting"* ]] || fail "no word that the serial line was not changed: $err"
[ "$elapsed" -ge 3 ] || fail "kestrel-cli gave up after $elapsed s, before the 3 s bound"
hung_job=$(cups_last_job_id "$queue")
[ "$hung_job" != "$job" ] || fail "no job was made"
state=$(cups_job_state "$hung_job")
[ "$state" = processing ] || [ "$state" = pending ] || fail "the held-up job is $state"
uri=$(device_uri "$queue")
echo "   job $hung_job is $state; device URI: $uri"
[ "$uri" = "serial:/dev/null?baud=19200+bits=8+parity=none+stop=1+flow=dtrdsr+extra=keep" ] ||
    fail "device URI changed while the job was still queued: $uri"

echo "-- the printer takes the job"
cups_release "$queue"
cups_wait_job_state "$hung_job" completed || fail "job $hung_job did not complete"
file=$(cups_job_capture "$queue" "$hung_job")
[ "$(hex "$file")" = "$stream_38400_7o1_soft_from_8bit" ] ||
    fail "captured bytes differ:\n$(hex "$file")\nexpected\n$stream_38400_7o1_soft_from_8bit"
echo "   job $hung_job: $(stat -c %s "$file") bytes, parity before data length"
[ "$(device_uri "$queue")" = "$uri" ] || fail "device URI changed after kestrel-cli ended"

echo "-- send 38400 7ODD1 XON/XOFF again"
"$cli" --folder "$folder" send --printer "$queue" --settings "$work/slow.kcf" --yes \
    --serial-wait 10 >"$work/out" 2>"$work/err" || fail "send exited $?: $(cat "$work/err")"
[[ "$(cat "$work/err")" != *"$still_waiting"* ]] || fail "send said the job was still waiting"
job=$(cups_last_job_id "$queue")
[ "$(cups_job_state "$job")" = completed ] || fail "job $job is $(cups_job_state "$job")"
cmp -s "$file" "$(cups_job_capture "$queue" "$job")" ||
    fail "the second send differs from the first:\n$(hex "$(cups_job_capture "$queue" "$job")")"
uri=$(device_uri "$queue")
echo "   device URI now: $uri"
[ "$uri" = "serial:/dev/null?baud=38400+bits=7+parity=odd+stop=1+flow=soft+extra=keep" ] ||
    fail "device URI after the send is $uri"
[ "$(cups_captured_files "$queue" | wc -l)" -eq 3 ] ||
    fail "$(cups_captured_files "$queue" | wc -l) captures for 3 jobs"

echo "PASS"
