#!/bin/bash
# With no scheduler answering, kestrel-cli says it cannot reach CUPS instead of listing no queues.
# Usage: bash test_unreachable.sh KESTREL_CLI (no scheduler is started).
cli=${1:?kestrel-cli}
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d /tmp/kestrel-unreachable.XXXXXX) || exit 1
trap 'rm -rf -- "$work"' EXIT
export CUPS_SERVER=$work/no-scheduler.sock
said="print system cannot be reached: no answer from the CUPS scheduler at $CUPS_SERVER"
expect 1 "$said" printers
expect 3 "$said" send --printer KR900 --yes
finish
