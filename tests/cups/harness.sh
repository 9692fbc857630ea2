# shellcheck shell=bash
# A private CUPS scheduler for the test scripts (run as root), sourced:
#
#   cups_start        # exports CUPS_SERVER, CUPS_TEST_DIR, CAPTURE_DIR
#   cups_add_queue KR500 "ZOT KR-500 Raster" usb://ZOT/KR-500 [LPADMIN_OPTION...]
#
# cupsd runs on its own domain socket with every folder in one temporary folder (/etc/cups and the
# system's scheduler are not touched). Every backend is capture-backend.sh; the queues' PPDs declare
# no filters and their NickName is the driver name. The scheduler is stopped and its folder removed
# when the sourcing shell exits or is signalled; a script's own cups_on_exit runs first.

CUPS_HARNESS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/cups/lib.sh
source "$CUPS_HARNESS_DIR/lib.sh"
CUPS_DAEMON_PID=
PATH="$PATH:/usr/sbin:/sbin" # cupsd, lpadmin, cupsenable, cupsreject, ...

cups_start() {
    [ "$(id -u)" -eq 0 ] || { echo "cups_start: the test scheduler needs root" >&2; return 1; }
    [ -z "$CUPS_DAEMON_PID" ] || { echo "cups_start: already running" >&2; return 1; }
    # /tmp rather than $TMPDIR: a socket path must stay short.
    CUPS_TEST_DIR=$(mktemp -d /tmp/kestrel-cups.XXXXXX) || return 1
    trap 'cups__on_exit' EXIT
    trap 'cups__on_exit; trap - INT; kill -INT $$' INT
    trap 'cups__on_exit; exit 143' TERM
    trap 'cups__on_exit; exit 129' HUP
    local d=$CUPS_TEST_DIR entry scheme i
    chmod 0755 "$d"
    mkdir -p "$d"/etc/ssl "$d"/serverbin/backend "$d"/data/banners "$d"/spool/tmp "$d"/cache \
        "$d"/state "$d"/log "$d"/capture || return 1
    # The scheduler runs only backends owned by root and writable by nobody else: copies.
    for scheme in serial usb parallel socket ipp ipps http https lpd smb dnssd vcom; do
        install -m 0755 "$CUPS_HARNESS_DIR/capture-backend.sh" "$d/serverbin/backend/$scheme"
    done
    for entry in /usr/lib/cups/*; do
        [ "${entry##*/}" = backend ] || ln -s "$entry" "$d/serverbin/"
    done
    # The system's data, and a "standard" banner for job-sheets-default=standard,none.
    for entry in /usr/share/cups/*; do
        [ "${entry##*/}" = banners ] || ln -s "$entry" "$d/data/"
    done
    install -m 0644 "$CUPS_HARNESS_DIR/banner-standard" "$d/data/banners/standard"
    chown lp:lp "$d/capture"
    for entry in cups-files.conf cupsd.conf; do
        sed "s|@DIR@|$d|g" "$CUPS_HARNESS_DIR/$entry.in" >"$d/etc/$entry" || return 1
    done
    cupsd -f -c "$d/etc/cupsd.conf" -s "$d/etc/cups-files.conf" </dev/null >"$d/log/out" 2>&1 &
    CUPS_DAEMON_PID=$!
    export CUPS_SERVER=$d/cups.sock CUPS_TEST_DIR CAPTURE_DIR=$d/capture
    for ((i = 0; i < 100; i++)); do
        lpstat -r >/dev/null 2>&1 && return 0
        kill -0 "$CUPS_DAEMON_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "cups_start: the private scheduler did not start" >&2
    cat "$d/log/out" >&2
    grep -v '^D ' "$d/log/error_log" 2>/dev/null | tail -n 20 >&2
    return 1
}

cups__on_exit() {
    if declare -F cups_on_exit >/dev/null; then cups_on_exit; fi
    cups_stop
}

cups_stop() {
    local pid=$CUPS_DAEMON_PID i
    CUPS_DAEMON_PID=
    if [ -n "$pid" ]; then
        kill -TERM "$pid" 2>/dev/null || :
        for ((i = 0; i < 100; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null || :
        wait "$pid" 2>/dev/null || :
    fi
    [ -z "${CUPS_TEST_DIR:-}" ] || rm -rf -- "$CUPS_TEST_DIR"
    CUPS_TEST_DIR=
}

# cups_make_ppd DRIVER_NAME OUTPUT_FILE: a PPD whose *NickName is the driver name.
cups_make_ppd() {
    sed -e "s|@NICKNAME@|$1|g" -e "s|@MANUFACTURER@|${1%% *}|g" -e "s|@PCFILENAME@|KESTREL.PPD|g" \
        "$CUPS_HARNESS_DIR/ppd/receipt.ppd.in" >"$2"
}

# cups_add_queue NAME DRIVER_NAME DEVICE_URI [LPADMIN_OPTION...]: an enabled queue taking jobs.
cups_add_queue() {
    local name=$1 ppd=$CUPS_TEST_DIR/$1.ppd uri=$3 out
    cups_make_ppd "$2" "$ppd" && shift 3 || return 1
    # lpadmin warns that PPD files are deprecated; say only why it failed.
    out=$(lpadmin -p "$name" -E -v "$uri" -P "$ppd" "$@" 2>&1) ||
        { echo "cups_add_queue $name: $out" >&2; return 1; }
}

# cups_wait_jobs_done [QUEUE...]: waits (at most 30 s) until no job is pending, held or printing.
cups_wait_jobs_done() {
    local i
    for ((i = 0; i < 300; i++)); do
        [ -z "$(lpstat -o "$@" 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    echo "cups_wait_jobs_done: still queued: $(lpstat -o "$@")" >&2
    return 1
}

cups_last_job_id() { lpstat -W all -o "$1" 2>/dev/null | sed -n 's/^[^ ]*-\([0-9]*\) .*/\1/p' | sort -n | tail -n1; }
cups_job_done() { lpstat -W completed -o 2>/dev/null | grep -q "^[^ ]*-$1 "; }
cups_job_capture() { echo "$CAPTURE_DIR/$1-$2.bin"; }
cups_captured_count() { find "$CAPTURE_DIR" -regex ".*/$1-[0-9]+\.bin" | wc -l; }
# While hung, the queue's backend waits before it takes a job, so the job stays "processing".
cups_hang() { install -m 0644 /dev/null "$CAPTURE_DIR/$1.hang"; }
cups_release() { rm -f -- "$CAPTURE_DIR/$1.hang"; }
