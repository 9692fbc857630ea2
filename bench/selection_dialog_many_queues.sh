#!/usr/bin/env bash
# The selection dialog over 1,000 queues of a private CUPS scheduler (as root, like the CUPS
# tests): opening, a header-click sort and accepting a typed queue, each timed.
#
#   bench/selection_dialog_many_queues.sh BUILD_FOLDER [COUNT]
set -euo pipefail
build=${1:?build folder}
count=${2:-1000}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/cups/harness.sh"
cups_start
bash "$here/../tests/cups/make_many_queues.sh" "$count" >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bench/bench_selection_dialog" --queue "bench-$(printf %04d $((count / 2)))"
