#!/bin/bash
# 100 sends in a row in one process with the fixed waits taken out: every job reaches the printer,
# and no descriptor or memory piles up (kestrel_send_load, built beside kestrel-cli, measures).
# Usage: bash test_send_load.sh KESTREL_CLI
cli=${1:?kestrel-cli}
source "$(dirname "$0")/harness.sh"
cups_start && cups_add_queue KR900 "ZOT KR-900 Raster" usb://ZOT/KR-900 || exit 1
start=$SECONDS
(cd "$CUPS_TEST_DIR" && "$(dirname "$cli")/tests/kestrel_send_load" KR900 100) || fail "the load run failed"
cups_wait_jobs_done KR900 || fail "jobs did not finish"
jobs=$(cups_captured_count KR900)
[ "$jobs" -eq 100 ] || fail "$jobs of 100 jobs reached the printer"
echo "PASS: 100 sends in $((SECONDS - start)) s, all 100 jobs captured"
