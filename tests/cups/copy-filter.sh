#!/bin/bash
# A CUPS filter that passes a document through unchanged (unpacking it when it is gzip data).
# The scheduler runs it, under the name gziptoany, to bring the documents of a raw job with
# several documents (a banner page and the data) to one backend. Installed by harness.sh only
# where the system's own gziptoany is missing.
#
# Arguments: job-id user title copies options [file]. With a file the filter makes the copies;
# from standard input it passes the data once, as the scheduler expects.

if [ $# -ne 5 ] && [ $# -ne 6 ]; then
    echo "Usage: ${0##*/} job-id user title copies options [file]" >&2
    exit 1
fi

pass() {
    local magic
    magic=$(head -c 2 -- "$1" | od -An -tx1 | tr -d ' \n')
    if [ "$magic" = 1f8b ]; then
        gzip -dc -- "$1"
    else
        cat -- "$1"
    fi
}

if [ $# -eq 5 ]; then
    # Standard input cannot be read twice: keep it in a file first, so that gzip data is
    # recognised by its first bytes.
    tmp=$(mktemp "${TMPDIR:-/tmp}/copy-filter.XXXXXX") || exit 1
    trap 'rm -f -- "$tmp"' EXIT
    cat >"$tmp" || exit 1
    pass "$tmp" || {
        echo "ERROR: cannot pass the document on" >&2
        exit 1
    }
    exit 0
fi

copies=$4
case "$copies" in
    '' | *[!0-9]*) copies=1 ;;
esac
[ "$copies" -ge 1 ] || copies=1
for ((i = 0; i < copies; i++)); do
    pass "$6" || {
        echo "ERROR: cannot pass $6 on" >&2
        exit 1
    }
done
exit 0
