#!/usr/bin/env bash
# Logo jobs through a private CUPS scheduler: a registered logo arrives as exactly one define
# command, and a missing bitmap file is reported without any job reaching the queue.
set -euo pipefail
cli=${1:?path to kestrel-cli}
source "$(dirname "$0")/harness.sh"


work=$(mktemp -d)
cups_on_exit() { rm -rf "$work"; }

# A 16 x 2 bitmap, 24 bits per pixel, every pixel black: 54 header bytes and two rows of 48.
bmp="$work/black.bmp"
{
    printf 'BM\x96\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'
    printf '\x28\x00\x00\x00\x10\x00\x00\x00\x02\x00\x00\x00\x01\x00\x18\x00'
    printf '\x00\x00\x00\x00\x60\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00'
    head -c 96 /dev/zero
} >"$bmp"
[ "$(stat -c %s "$bmp")" -eq 150 ] || fail "test bitmap is $(stat -c %s "$bmp") bytes"

# GS 8 L: parameter count 15, key 21 20 (slot 2), one plane of 16 x 2 dots, all printed.
define="1d 38 4c 0f 00 00 00 30 43 30 21 20 01 10 00 02 00 31 ff ff ff ff"

cups_start
cups_add_queue KR500 "ZOT KR-500 Raster" usb://ZOT/KR-500

echo "-- logo register --slot 2"
"$cli" --folder "$work" logo register --printer KR500 --slot 2 --yes "$bmp" >"$work/out" \
    2>"$work/err" || fail "register exited $?: $(cat "$work/err")"
cups_wait_jobs_done || fail "register: job did not complete"
file=$(cups_capture_file KR500 1) || fail "register: nothing captured"
[ "$(hex "$file")" = "$define" ] || fail "register: captured $(hex "$file")"
echo "   $(stat -c %s "$file") bytes captured: the define command"

echo "-- logo register with a missing file"
set +e
"$cli" --folder "$work" logo register --printer KR500 --slot 2 --yes "$work/missing.bmp" \
    >"$work/out" 2>"$work/err"
status=$?
set -e
[ $status -eq 1 ] || fail "missing file: exit status $status"
grep -qF "Reading failure of BITMAP file." "$work/err" || fail "missing file: $(cat "$work/err")"
grep -qF "$work/missing.bmp" "$work/err" || fail "missing file: path not named"
grep -qF "The BITMAP file doesn't exist." "$work/err" || fail "missing file: $(cat "$work/err")"
jobs_after=$(lpstat -W all -o KR500 | wc -l)
[ "$jobs_after" -eq 1 ] || fail "missing file: the queue has $jobs_after jobs, expected only the first"
[ "$(cups_captured_files KR500 | wc -l)" -eq 1 ] || fail "missing file: something was captured"

echo "PASS"
