#!/bin/bash
# A CUPS backend standing in for a receipt printer, installed under every scheme name the test
# queues use: each job's bytes go to $CAPTURE_DIR/<queue>-<job>.bin and the device URI the
# scheduler handed over to <queue>-<job>.uri. While <queue>.fail exists it fails every job (a
# printer gone from its port); while <queue>.hang exists it waits (up to 2 minutes) first.
scheme=${0##*/}
if [ $# -eq 0 ]; then # the scheduler asks which devices this backend reaches
    echo "direct $scheme \"Unknown\" \"Capture ($scheme)\""
    exit 0
fi
base=$CAPTURE_DIR/${PRINTER:-unknown}-$1
trap 'rm -f -- "$base.part"; exit 1' TERM # a cancelled job leaves nothing
if [ -e "$CAPTURE_DIR/$PRINTER.fail" ]; then
    echo "ERROR: capture: told to fail" >&2
    exit 1 # CUPS_BACKEND_FAILED: the queue's error policy decides what follows
fi
for ((i = 0; i < 600; i++)); do
    [ -e "$CAPTURE_DIR/$PRINTER.hang" ] || break
    sleep 0.2
done
printf '%s\n' "$DEVICE_URI" >"$base.uri"
cat -- "${6:--}" >"$base.part" && mv -f -- "$base.part" "$base.bin"
