#!/bin/bash
# A CUPS backend that stands in for a receipt printer: it keeps every job's bytes in a folder
# instead of sending them to a device. The same script is installed under the scheme names the
# test queues use (serial, usb, parallel, socket, ...), so a queue keeps its real-looking device
# URI while the bytes land in $CAPTURE_DIR as <queue>-<job-id>.bin, with the device URI that the
# scheduler handed over in <queue>-<job-id>.uri.
#
# While a file <queue>.hang exists in $CAPTURE_DIR the backend waits (at most
# CAPTURE_HANG_SECONDS, default 120) before it reads the job, so the job stays "processing".

scheme=${0##*/}

# Without arguments the scheduler asks which devices this backend can reach: one line per
# device, "class uri make-and-model info". The capture needs no device, so it offers its scheme.
if [ $# -eq 0 ]; then
    case "$scheme" in
        socket | ipp | ipps | http | https | lpd | dnssd) class=network ;;
        *) class=direct ;;
    esac
    printf '%s %s "Unknown" "Capture (%s)"\n' "$class" "$scheme" "$scheme"
    exit 0
fi

if [ $# -ne 5 ] && [ $# -ne 6 ]; then
    echo "Usage: $scheme job-id user title copies options [file]" >&2
    exit 1
fi

job_id=$1
copies=$4
file=${6:-}

# The scheduler reports failures to its log through "ERROR:" lines on stderr; exit code 1 is
# CUPS_BACKEND_FAILED, which lets the queue's error policy decide what happens next.
fail() {
    echo "ERROR: capture: $*" >&2
    exit 1
}

[ -n "${CAPTURE_DIR:-}" ] || fail "CAPTURE_DIR is not set in the scheduler's environment"
[ -d "$CAPTURE_DIR" ] || fail "no capture folder $CAPTURE_DIR"
queue=${PRINTER:-unknown}
base="$CAPTURE_DIR/$queue-$job_id"

# A cancelled job ends the backend with SIGTERM: nothing of it is kept.
part="$base.part.$$"
trap 'rm -f -- "$part" "$base.uri.$$" "$base.join.$$"; exit 1' TERM

# While a file <queue>.fail exists the backend fails every job, as a printer gone from its port.
[ ! -e "$CAPTURE_DIR/$queue.fail" ] || fail "capture: told to fail by $queue.fail"
hang_file="$CAPTURE_DIR/$queue.hang"
if [ -e "$hang_file" ]; then
    echo "INFO: capture: holding job $job_id while $hang_file exists" >&2
    limit=$((${CAPTURE_HANG_SECONDS:-120} * 5))
    while [ -e "$hang_file" ] && [ "$limit" -gt 0 ]; do
        sleep 0.2
        limit=$((limit - 1))
    done
fi

# A job of several documents (a banner page and the data) runs the backend once per document;
# the printer would receive them one after the other, so the capture appends.
if [ -n "$file" ]; then
    # With a file argument the backend itself makes the copies, as the device backends do.
    [ -r "$file" ] || fail "cannot read $file"
    case "$copies" in
        '' | *[!0-9]*) copies=1 ;;
    esac
    [ "$copies" -ge 1 ] || copies=1
    : >"$part" || fail "cannot write $part"
    for ((i = 0; i < copies; i++)); do
        cat -- "$file" >>"$part" || fail "cannot copy $file"
    done
else
    cat >"$part" || fail "cannot write $part"
fi

printf '%s\n' "${DEVICE_URI:-$scheme:}" >"$base.uri.$$" || fail "cannot write $base.uri"
mv -f -- "$base.uri.$$" "$base.uri" || fail "cannot write $base.uri"
if [ -e "$base.bin" ]; then
    if ! cat -- "$base.bin" "$part" >"$base.join.$$" || ! mv -f -- "$base.join.$$" "$base.bin"; then
        fail "cannot append to $base.bin"
    fi
    rm -f -- "$part"
else
    mv -f -- "$part" "$base.bin" || fail "cannot write $base.bin"
fi
exit 0
