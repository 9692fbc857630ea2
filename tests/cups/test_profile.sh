#!/usr/bin/env bash
# The start-up folder through a private CUPS scheduler: the region profile (kestspec.ini) decides
# the factory defaults that an initialization sends, and the working configuration (kestrel.ini)
# that `send --save` writes is what the next send without a settings file sends.
set -euo pipefail
cli=${1:?path to kestrel-cli}
source "$(dirname "$0")/harness.sh"


# KR-700 factory defaults of the QWB region: the base record with Power on Status "Disable",
# Paper Width "60mm/36column" (not sent by an initialization) and Max Speed "7". Switch 01 ends in
# '0' (power-on status off); seven customize values, Max Speed 7 (06 07 00); the QWB region leaves
# the Font-B position of switch 7E as the printer has it ('2'). USB port: 8-bit host line, so the
# parity command comes before the data length.
init_qwb_kr700="18 18 18 18 18 1d 28 45 03 00 01 49 4e \
1d 28 45 1c 00 03 01 30 30 32 30 30 31 30 30 02 32 32 32 32 32 32 32 31 08 30 32 31 32 32 32 32 32 \
1d 28 45 16 00 05 01 04 00 02 07 00 05 00 00 06 07 00 61 00 00 74 01 00 76 00 00 \
1d 28 45 08 00 0b 01 31 31 35 32 30 30 \
1d 28 45 03 00 0b 02 30 1d 28 45 03 00 0b 04 38 1d 28 45 03 00 0b 03 30 \
1d 28 45 0a 00 03 7e 30 30 31 31 32 31 31 31 \
1d 28 45 0a 00 03 7f 30 32 30 30 30 32 32 31 \
1d 28 45 0a 00 03 7d 32 32 32 32 32 32 32 30 \
1d 28 45 04 00 02 4f 55 54"
# Every customize value of the edited settings below: User NV Moemory 64KByte (2), NV Graphic
# Memory 128KByte (3), Paper Width 32 columns, Print Density 110% (+2), Max Speed 5, Low Power
# Mode1, Print Color Two (257), BK Density 90% (-2).
customize_edited="1d 28 45 19 00 05 01 02 00 02 03 00 03 20 00 05 02 00 06 05 00 61 01 00 74 01 01 76 fe ff"

cups_start
work=$(mktemp -d)
cups_on_exit() { rm -rf -- "$work"; }
folder="$work/folder"
mkdir "$folder"
printf '[SPEC]\nSPECKEY=QWB\n' >"$folder/kestspec.ini"
cups_add_queue KR700 "ZOT KR-700 Raster" usb://ZOT/KR-700?serial=1

echo "-- init with SPECKEY=QWB on a KR-700"
"$cli" --folder "$folder" init --printer KR700 --yes >"$work/out" 2>"$work/err" ||
    fail "init exited $?: $(cat "$work/err")"
cups_wait_jobs_done KR700 || fail "init: job did not complete"
file=$(cups_capture_file KR700 1) || fail "init: nothing captured"
[ "$(hex "$file")" = "$init_qwb_kr700" ] ||
    fail "init: captured bytes differ:\n$(hex "$file")\nexpected\n$init_qwb_kr700"
echo "   $(stat -c %s "$file") bytes captured as expected"
[ ! -e "$folder/kestrel.ini" ] || fail "init wrote the working configuration"

echo "-- the same without the profile: the OVERSEA defaults differ"
mkdir "$work/plain"
"$cli" --folder "$work/plain" init --printer KR700 --yes >"$work/out" 2>"$work/err" ||
    fail "init exited $?: $(cat "$work/err")"
cups_wait_jobs_done KR700 || fail "init: job did not complete"
plain=$(cups_capture_file KR700 2) || fail "init without profile: nothing captured"
# Power on Status "Enable" and the Font-B position sent as '0' (Mode1).
expected_plain=${init_qwb_kr700/31 30 30 02/31 30 31 02}
expected_plain=${expected_plain/7e 30 30 31 31 32/7e 30 30 31 31 30}
[ "$(hex "$plain")" = "$expected_plain" ] ||
    fail "init without profile differs:\n$(hex "$plain")\nexpected\n$expected_plain"
echo "   $(stat -c %s "$plain") bytes, OVERSEA defaults"

echo "-- send --save, then send from the working configuration"
"$cli" --folder "$folder" settings set "$work/edited.kcf" "User NV Moemory=64KByte" \
    "NV Graphic Memory=128KByte" "Paper Width=58mm/32column" "Print Density=110%" \
    "Max Speed=5" "Low Power=Mode1" "Print Color=Two" "BK Density(2Color)=90%" "Buzzer=Enable" \
    >/dev/null 2>"$work/err" || fail "settings set exited $?: $(cat "$work/err")"
"$cli" --folder "$folder" send --printer KR700 --settings "$work/edited.kcf" --save --yes \
    >"$work/out" 2>"$work/err" || fail "send --save exited $?: $(cat "$work/err")"
cups_wait_jobs_done KR700 || fail "send --save: job did not complete"
first=$(cups_capture_file KR700 3) || fail "send --save: nothing captured"
[[ "$(hex "$first")" == *"$customize_edited"* ]] ||
    fail "send --save did not send the edited customize values:\n$(hex "$first")"
# Buzzer is the first position of switch 7E.
[[ "$(hex "$first")" == *"1d 28 45 0a 00 03 7e 31 "* ]] || fail "send --save: Buzzer not enabled"
[ -f "$folder/kestrel.ini" ] || fail "send --save wrote no $folder/kestrel.ini"
size=$(stat -c %s "$folder/kestrel.ini")
echo "   sent $(stat -c %s "$first") bytes; kestrel.ini is $size bytes"
[ "$size" -eq 38 ] || fail "kestrel.ini is $size bytes, not 38"
cmp "$work/edited.kcf" "$folder/kestrel.ini" ||
    fail "kestrel.ini differs from the settings sent:\n$(hex "$folder/kestrel.ini")\n$(hex "$work/edited.kcf")"

"$cli" --folder "$folder" send --printer KR700 --yes >"$work/out" 2>"$work/err" ||
    fail "send exited $?: $(cat "$work/err")"
cups_wait_jobs_done KR700 || fail "send: job did not complete"
second=$(cups_capture_file KR700 4) || fail "send: nothing captured"
cmp -s "$first" "$second" ||
    fail "send from the working configuration differs:\n$(hex "$second")\nexpected\n$(hex "$first")"
echo "   second send: $(stat -c %s "$second") bytes, the same as the first"
[ "$(cups_captured_files KR700 | wc -l)" -eq 4 ] || fail "not four captures"

echo "PASS"
