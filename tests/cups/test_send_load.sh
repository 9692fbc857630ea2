#!/bin/bash
# 100 sends in a row in one process with the fixed waits taken out: every job reaches the
# printer, and no descriptor or memory piles up. Usage: bash test_send_load.sh KESTREL_CLI
# (the load program is built beside it as kestrel_send_load).
cli=${1:?kestrel-cli}
load=$(dirname "$cli")/tests/kestrel_send_load
here=$(cd "$(dirname "$0")" && pwd)
source "$here/harness.sh"
cups_start || exit 1
cups_add_queue KR900 "ZOT KR-900 Raster" usb://ZOT/KR-900 || exit 1
folder=$(mktemp -d /tmp/kestrel-load.XXXXXX) || exit 1
cups_on_exit() { rm -rf -- "$folder"; }
start=$SECONDS
(cd "$folder" && "$load" KR900 100) || { echo "FAIL: the load run failed" >&2; exit 1; }
cups_wait_jobs_done KR900 || { echo "FAIL: jobs did not finish" >&2; exit 1; }
jobs=$(cups_captured_files KR900 | wc -l)
[ "$jobs" -eq 100 ] || { echo "FAIL: $jobs of 100 jobs reached the printer" >&2; exit 1; }
echo "PASS: 100 sends in $((SECONDS - start)) s, all 100 jobs captured"
