#!/usr/bin/env bash
# Checking the named queue before a job, against a private CUPS scheduler: every kind of port and
# every queue state that the printer selection judges. For each queue, `printers --json` must give
# its connection status, list icon and whether it is usable; `list-print` must refuse an unusable
# queue with exit status 3 and the selection's message (and send nothing), and print the settings
# list on a usable one. A queue name that does not exist is refused with the names of those that do.
set -euo pipefail
cli=${1:?path to kestrel-cli}
source "$(dirname "$0")/harness.sh"



# The selection's messages, byte for byte, by the names that the table of queues uses.
declare -A messages=(
    [remains]=$'The print job remains in spooler.\n\nComplete the print after clicking OK button \nand select again.'
    [network]='The network printer cannot be selected.'
    [file]=$'Printer port is FILE:.\n\nChange connection port after clicking OK button.'
    [paused]=$'Pause Printing is set.\n\nRemove the check on Pause Printing after clicking OK button.'
    [offline]=$'Printer is OFFLINE.\n\nRemove the check on Use Printer Offline after clicking OK button.'
    [separator]=$'Separator Page is set.\n\nRemove the check on Separator Page after clicking OK button.'
    [port]=$'Connection port is not corresponded.\n\nChange conection port after clicking OK button or\nselect the printer connected to the corresponding port.'
    [driver]=$'A different printer is selected.\n\nPlease select the KR-900, KR-700 or KR-500 printer.'
)
list_stream="18 18 18 18 18 1d 28 41 02 00 00 02"

cups_start
work=$(mktemp -d)
cups_on_exit() { rm -rf -- "$work"; }
folder="$work/folder"
mkdir "$folder"
printf 'held job\n' >"$work/held.txt"

# A scheme that is neither a printer port nor a network protocol; the scheduler only accepts a
# device URI whose backend exists, so the capture script answers to it too.
install -m 0755 "$CUPS_HARNESS_DIR/capture-backend.sh" "$CUPS_TEST_DIR/serverbin/backend/vcom"

# name|driver|device URI|how the queue is set up|status|icon|usable|expected message
queues=(
    "Usb|ZOT KR-500 Raster|usb://ZOT/KR-500?serial=1||8|160|true|"
    "Serial|ZOT KR-900 Raster (BM)|serial:/dev/null?baud=115200+bits=8+parity=none+flow=dtrdsr||1|160|true|"
    "Parallel|ZOT KR-700 Raster|parallel:/dev/null||0|160|true|"
    "Socket|ZOT KR-900 Raster|socket://127.0.0.1:9100||2|163|false|network"
    "Ipp|ZOT KR-900 Raster (FC)|ipp://127.0.0.1:631/printers/kr||2|163|false|network"
    "FileQueue|ZOT KR-500 Raster|file:///dev/null||3|163|false|file"
    "FileTemp|ZOT KR-700 Raster|file://$work/out.bin||3|163|false|file"
    "Paused|ZOT KR-900 Raster (BM/FC)|usb://ZOT/KR-900?serial=2|pause|4|163|false|paused"
    "PausedRejecting|ZOT KR-500 Raster|usb://ZOT/KR-500?serial=3|pause reject|4|163|false|paused"
    "Rejecting|ZOT KR-500 Raster|usb://ZOT/KR-500?serial=4|reject|6|163|false|offline"
    "Banner|ZOT KR-900 Raster|usb://ZOT/KR-900?serial=5|banner|7|163|false|separator"
    "RejectingBanner|ZOT KR-900 Raster|usb://ZOT/KR-900?serial=6|banner reject|6|163|false|offline"
    "PausedSocket|ZOT KR-500 Raster|socket://127.0.0.1:9101|pause|2|163|false|network"
    "PausedFile|ZOT KR-500 Raster|file:///dev/null|pause|3|163|false|file"
    "HeldParallel|ZOT KR-700 Raster|parallel:/dev/null|hold|0|160|false|remains"
    "HeldUsb|ZOT KR-500 Raster|usb://ZOT/KR-500?serial=7|hold|8|160|true|"
    "HeldSerial|ZOT KR-900 Raster|serial:/dev/null?baud=9600|hold|1|160|true|"
    "OtherPort|ZOT KR-500 Raster|vcom:/dev/kr500||9|163|false|port"
    "OtherDriver|Generic Text-Only|usb://Generic/Text?serial=8||0|162|false|driver"
    "OtherDriverPaused|ZOT KR-900|socket://127.0.0.1:9102|pause|0|162|false|driver"
)

names=()
for entry in "${queues[@]}"; do
    IFS='|' read -r name driver uri setup _ <<<"$entry"
    names+=("$name")
    args=()
    [[ " $setup " == *" banner "* ]] && args=(-o "job-sheets-default=standard,none")
    cups_add_queue "$name" "$driver" "$uri" "${args[@]}" || fail "cannot add queue $name"
    [[ " $setup " == *" pause "* ]] && cupsdisable "$name"
    [[ " $setup " == *" reject "* ]] && cupsreject "$name"
    if [[ " $setup " == *" hold "* ]]; then
        lp -H hold -d "$name" -o raw "$work/held.txt" >/dev/null || fail "$name: lp -H hold failed"
    fi
done

echo "-- printers --json"
"$cli" --folder "$folder" printers --json >"$work/printers.json" 2>"$work/err" ||
    fail "printers exited $?: $(cat "$work/err")"
for entry in "${queues[@]}"; do
    IFS='|' read -r name driver uri setup status icon usable message <<<"$entry"
    got_status=$(json_field "$work/printers.json" name "$name" status) ||
        fail "$name is not listed by printers --json:\n$(cat "$work/printers.json")"
    got_icon=$(json_field "$work/printers.json" name "$name" icon)
    got_usable=$(json_field "$work/printers.json" name "$name" usable)
    got_message=$(json_field "$work/printers.json" name "$name" message)
    got_driver=$(json_field "$work/printers.json" name "$name" driver)
    got_port=$(json_field "$work/printers.json" name "$name" port)
    want_message='""'
    [ -z "$message" ] || want_message=$(json_string "${messages[$message]}")
    printf '   %-18s status %-2s icon %s usable %-5s %s\n' "$name" "$got_status" "$got_icon" \
        "$got_usable" "$uri"
    [ "$got_status" = "$status" ] || fail "$name: status $got_status, expected $status"
    [ "$got_icon" = "$icon" ] || fail "$name: icon $got_icon, expected $icon"
    [ "$got_usable" = "$usable" ] || fail "$name: usable $got_usable, expected $usable"
    [ "$got_message" = "$want_message" ] ||
        fail "$name: message $got_message\nexpected $want_message"
    [ "$got_driver" = "$(json_string "$driver")" ] || fail "$name: driver $got_driver"
    [ "$got_port" = "$(json_string "$uri")" ] || fail "$name: port $got_port"
    case "$setup" in
        *hold*) want_jobs=1 ;;
        *) want_jobs=0 ;;
    esac
    got_jobs=$(json_field "$work/printers.json" name "$name" jobs)
    [ "$got_jobs" = "$want_jobs" ] || fail "$name: $got_jobs job(s) waiting, expected $want_jobs"
done
listed=$(grep -c '^    "name": ' "$work/printers.json" || true)
[ "$listed" -eq "${#queues[@]}" ] || fail "printers --json lists $listed queues, not ${#queues[@]}"

echo "-- list-print on each queue"
for entry in "${queues[@]}"; do
    IFS='|' read -r name driver uri setup status icon usable message <<<"$entry"
    before=$(cups_last_job_id "$name")
    set +e
    "$cli" --folder "$folder" list-print --printer "$name" --yes >"$work/out" 2>"$work/err"
    code=$?
    set -e
    err=$(cat "$work/err")
    if [ "$usable" = true ]; then
        [ "$code" -eq 0 ] || fail "$name: list-print exited $code, expected 0: $err"
        job=$(cups_last_job_id "$name")
        if [ -z "$job" ] || [ "$job" = "$before" ]; then
            fail "$name: list-print made no job"
        fi
        cups_wait_job_state "$job" completed || fail "$name: job $job did not complete"
        file=$(cups_job_capture "$name" "$job")
        [ -f "$file" ] || fail "$name: job $job was not captured"
        [ "$(hex "$file")" = "$list_stream" ] ||
            fail "$name: captured $(hex "$file")\nexpected $list_stream"
        echo "   $name: exit 0, job $job captured $(stat -c %s "$file") bytes"
    else
        [ "$code" -eq 3 ] || fail "$name: list-print exited $code, expected 3: $err"
        text=${messages[$message]}
        [[ "$err" == *"$text"* ]] || fail "$name: stderr lacks the message\n$text\n---- stderr:\n$err"
        [ "$(cups_last_job_id "$name")" = "$before" ] || fail "$name: a job was made"
        [ -z "$(cups_captured_files "$name")" ] || fail "$name: something was captured"
        echo "   $name: exit 3, refused with \"${text%%$'\n'*}\""
    fi
done

echo "-- a queue name that does not exist"
for command in list-print send init; do
    set +e
    "$cli" --folder "$folder" "$command" --printer NoSuchQueue --yes >"$work/out" 2>"$work/err"
    code=$?
    set -e
    err=$(cat "$work/err")
    [ "$code" -eq 3 ] || fail "$command NoSuchQueue: exit $code, expected 3: $err"
    [[ "$err" == *NoSuchQueue* ]] || fail "$command NoSuchQueue: the name is not said: $err"
    for name in "${names[@]}"; do
        [[ "$err" == *"\"$name\""* ]] || fail "$command NoSuchQueue: \"$name\" is not named: $err"
    done
    [ -z "$(cups_captured_files NoSuchQueue)" ] || fail "$command NoSuchQueue captured a job"
    echo "   $command: exit 3, ${#names[@]} queues named"
done
[ ! -e "$folder/kestrel.ini" ] || fail "a refused job wrote the working configuration"

echo "PASS"
