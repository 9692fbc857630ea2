# shellcheck shell=bash
# A private CUPS scheduler for tests, to be sourced by bash test scripts (run as root).
#
#   source "$(dirname "$0")/harness.sh"
#   cups_start || exit 1                         # private cupsd; exports CUPS_SERVER
#   cups_add_queue KR500 "ZOT KR-500 Raster" usb://ZOT/KR-500
#   lp -d KR500 -o raw job.bin
#   cups_wait_jobs_done
#   cmp job.bin "$(cups_capture_file KR500 1)"
#
# The scheduler runs as root with the jobs' programs as user lp, on its own domain socket and
# its own TCP port on 127.0.0.1, with every folder (configuration, spool, logs, captures) in one
# temporary folder; /etc/cups and a system scheduler are not touched. Its backends are one
# capture script (capture-backend.sh) installed under the scheme names of the queues, so each
# job's bytes are kept in $CAPTURE_DIR. Queues get PPDs from ppd/receipt.ppd.in whose NickName
# (the queue's printer-make-and-model) is the driver name; they have no filters, so raw jobs
# reach the backend unchanged. Anyone may administer the scheduler, over either connection.
#
# The scheduler is stopped and the folder removed when the sourcing shell exits, fails or gets
# SIGINT/SIGTERM/SIGHUP (cups_start sets those traps; a script that needs its own clean-up
# defines a function cups_on_exit, which runs first). CUPS_KEEP=1 keeps the folder.
#
# After cups_start these are exported:
#   CUPS_SERVER        the scheduler's domain socket (libcups, lp, lpstat, lpadmin use it)
#   CUPS_TEST_HOSTPORT 127.0.0.1:<port>, the same scheduler over TCP
#   CUPS_TEST_PORT     that port
#   CUPS_TEST_DIR      the temporary folder (error log: $CUPS_TEST_DIR/log/error_log)
#   CAPTURE_DIR        where the backend writes <queue>-<job-id>.bin and .uri
#
# Functions (details at each):
#   cups_start / cups_stop
#   cups_add_queue NAME DRIVER_NICKNAME DEVICE_URI [LPADMIN_OPTION...]
#   cups_make_ppd DRIVER_NICKNAME OUTPUT_FILE
#   cups_wait_jobs_done [-t SECONDS] [QUEUE...]
#   cups_job_state JOB_ID               cups_wait_job_state JOB_ID STATE [SECONDS]
#   cups_last_job_id QUEUE
#   cups_captured_files QUEUE           cups_capture_file QUEUE N
#   cups_job_capture QUEUE JOB_ID       cups_job_uri QUEUE JOB_ID
#   cups_hang QUEUE                     cups_release QUEUE

CUPS_HARNESS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/cups/lib.sh
source "$CUPS_HARNESS_DIR/lib.sh"

# Scheme names the capture backend answers to.
CUPS_CAPTURE_SCHEMES=(serial usb parallel socket ipp ipps http https lpd smb dnssd)

CUPS_DAEMON_PID=

# lpadmin, cupsenable, cupsdisable, cupsaccept, cupsreject and cupsd live in sbin.
case ":$PATH:" in
    *:/usr/sbin:*) ;;
    *) PATH="$PATH:/usr/sbin:/sbin" ;;
esac

cups__log_tail() {
    if [ -n "${CUPS_TEST_DIR:-}" ] && [ -f "$CUPS_TEST_DIR/log/error_log" ]; then
        echo "---- last messages of the scheduler's error_log (debug lines left out) ----" >&2
        grep -v '^D ' "$CUPS_TEST_DIR/log/error_log" | tail -n 30 >&2
    fi
}

# A TCP port on 127.0.0.1 that nothing answers on.
cups__free_port() {
    local port tries
    for ((tries = 0; tries < 50; tries++)); do
        port=$((20000 + (RANDOM * 32768 + RANDOM) % 40000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

cups__write_config() {
    local dir=$1 port=$2
    cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
ServerBin $dir/serverbin
DataDir $dir/data
DocumentRoot $dir/data/doc-root
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerKeychain $dir/etc/ssl
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
User lp
Group lp
SystemGroup root
FileDevice Yes
CreateSelfSignedCerts No
SetEnv CAPTURE_DIR $dir/capture
EOF
    # Everyone on 127.0.0.1 and the socket may do everything: the tests administer queues
    # over either connection without authentication.
    cat >"$dir/etc/cupsd.conf" <<EOF
LogLevel debug
MaxLogSize 0
Listen 127.0.0.1:$port
Listen $dir/cups.sock
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
DefaultEncryption Never
ErrorPolicy abort-job
PreserveJobHistory Yes
PreserveJobFiles No
MaxJobs 0
JobRetryInterval 1
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
}

cups__make_tree() {
    local dir=$1 entry name scheme
    mkdir -p "$dir/etc/ppd" "$dir/etc/ssl" "$dir/serverbin/backend" "$dir/data/banners" \
        "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/capture" || return 1

    # ServerBin: the capture script under every scheme name (copied, because the scheduler
    # refuses backends that are not owned by root or are writable by others); the system's
    # helper programs, filters and notifiers for the rest.
    for scheme in "${CUPS_CAPTURE_SCHEMES[@]}"; do
        install -m 0755 "$CUPS_HARNESS_DIR/capture-backend.sh" "$dir/serverbin/backend/$scheme" ||
            return 1
    done
    for name in daemon notifier monitor driver; do
        [ -e "/usr/lib/cups/$name" ] && ln -s "/usr/lib/cups/$name" "$dir/serverbin/$name"
    done
    # filter/: the system's filters. A job of several documents (a banner page and the data)
    # reaches a raw queue's backend through gziptoany (Debian package cups-core-drivers); where
    # it is missing, a small copy filter takes its place so that such jobs print as they would.
    mkdir "$dir/serverbin/filter" || return 1
    for entry in /usr/lib/cups/filter/*; do
        [ -e "$entry" ] && ln -s "$entry" "$dir/serverbin/filter/${entry##*/}"
    done
    if [ ! -e "$dir/serverbin/filter/gziptoany" ]; then
        install -m 0755 "$CUPS_HARNESS_DIR/copy-filter.sh" "$dir/serverbin/filter/gziptoany" ||
            return 1
    fi

    # DataDir: the system's data, plus a "standard" banner so that queues can have
    # job-sheets-default=standard,none.
    for entry in /usr/share/cups/*; do
        name=${entry##*/}
        [ "$name" = banners ] && continue
        ln -s "$entry" "$dir/data/$name"
    done
    [ -e "$dir/data/doc-root" ] || mkdir "$dir/data/doc-root"
    cp "$CUPS_HARNESS_DIR/banner-standard" "$dir/data/banners/standard" || return 1
    chmod 0644 "$dir/data/banners/standard"

    # The backend runs as lp and writes the captures.
    chown lp:lp "$dir/capture" && chmod 0755 "$dir/capture"
}

# cups_start: start the private scheduler and wait until it answers. Returns non-zero (with
# the scheduler's log on stderr) when it does not come up within 10 seconds.
cups_start() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "cups_start: the test scheduler must be started as root" >&2
        return 1
    fi
    local cupsd
    cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
    if [ ! -x "$cupsd" ]; then
        echo "cups_start: cupsd not found (Debian package cups-daemon)" >&2
        return 1
    fi

    if [ -n "$CUPS_DAEMON_PID" ]; then
        echo "cups_start: the test scheduler already runs" >&2
        return 1
    fi

    # /tmp rather than $TMPDIR: the socket path must stay short.
    CUPS_TEST_DIR=$(mktemp -d /tmp/kestrel-cups.XXXXXX) || return 1
    chmod 0755 "$CUPS_TEST_DIR"
    trap 'cups__on_exit' EXIT
    trap 'cups__on_exit; trap - INT; kill -INT $$' INT
    trap 'cups__on_exit; exit 143' TERM
    trap 'cups__on_exit; exit 129' HUP
    cups__make_tree "$CUPS_TEST_DIR" || {
        echo "cups_start: cannot prepare $CUPS_TEST_DIR" >&2
        return 1
    }

    local attempt port i
    for ((attempt = 0; attempt < 5; attempt++)); do
        port=$(cups__free_port) || break
        cups__write_config "$CUPS_TEST_DIR" "$port"
        : >"$CUPS_TEST_DIR/log/error_log"
        "$cupsd" -f -c "$CUPS_TEST_DIR/etc/cupsd.conf" -s "$CUPS_TEST_DIR/etc/cups-files.conf" \
            </dev/null >>"$CUPS_TEST_DIR/log/cupsd.out" 2>&1 &
        CUPS_DAEMON_PID=$!
        for ((i = 0; i < 100; i++)); do
            kill -0 "$CUPS_DAEMON_PID" 2>/dev/null || break
            if [ -S "$CUPS_TEST_DIR/cups.sock" ] &&
                CUPS_SERVER="$CUPS_TEST_DIR/cups.sock" lpstat -r >/dev/null 2>&1; then
                break
            fi
            sleep 0.1
        done
        if kill -0 "$CUPS_DAEMON_PID" 2>/dev/null &&
            CUPS_SERVER="$CUPS_TEST_DIR/cups.sock" lpstat -r >/dev/null 2>&1; then
            # Someone else may have taken the port between the probe and the bind.
            if ! grep -q "Unable to open listen socket" "$CUPS_TEST_DIR/log/error_log"; then
                export CUPS_SERVER="$CUPS_TEST_DIR/cups.sock"
                export CUPS_TEST_PORT=$port
                export CUPS_TEST_HOSTPORT="127.0.0.1:$port"
                export CUPS_TEST_DIR
                export CAPTURE_DIR="$CUPS_TEST_DIR/capture"
                return 0
            fi
        fi
        cups__stop_daemon
    done
    echo "cups_start: the private scheduler did not start" >&2
    cat "$CUPS_TEST_DIR/log/cupsd.out" >&2 2>/dev/null
    cups__log_tail
    return 1
}

cups__stop_daemon() {
    local pid=$CUPS_DAEMON_PID i
    [ -n "$pid" ] || return 0
    CUPS_DAEMON_PID=
    kill -TERM "$pid" 2>/dev/null
    for ((i = 0; i < 100; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null || true
    return 0
}

cups__on_exit() {
    if declare -F cups_on_exit >/dev/null; then
        cups_on_exit
    fi
    cups_stop
}

# cups_stop: stop the scheduler and remove its folder. Runs by itself on exit; safe to call
# more than once. Set CUPS_KEEP=1 to keep the folder for a look at the logs.
cups_stop() {
    cups__stop_daemon
    if [ -n "${CUPS_TEST_DIR:-}" ] && [ -d "$CUPS_TEST_DIR" ]; then
        if [ "${CUPS_KEEP:-0}" = 1 ]; then
            echo "cups_stop: kept $CUPS_TEST_DIR" >&2
        else
            rm -rf -- "$CUPS_TEST_DIR"
        fi
    fi
    CUPS_TEST_DIR=
}

# cups_make_ppd DRIVER_NICKNAME OUTPUT_FILE: a PPD whose *NickName is the driver name.
cups_make_ppd() {
    local nick=$1 out=$2 manufacturer pcfile
    manufacturer=${nick%% *}
    pcfile=$(printf '%s' "$nick" | tr -cd 'A-Za-z0-9' | cut -c1-8)
    sed -e "s|@NICKNAME@|$nick|g" -e "s|@MANUFACTURER@|$manufacturer|g" \
        -e "s|@PCFILENAME@|${pcfile:-TEST}.PPD|g" \
        "$CUPS_HARNESS_DIR/ppd/receipt.ppd.in" >"$out"
}

# cups_add_queue NAME DRIVER_NICKNAME DEVICE_URI [LPADMIN_OPTION...]
# Adds an enabled queue that accepts jobs; further arguments go to lpadmin as they are
# (for example -o job-sheets-default=standard,none).
cups_add_queue() {
    local name=$1 nick=$2 uri=$3 ppd out
    shift 3
    ppd="$CUPS_TEST_DIR/$name.ppd"
    cups_make_ppd "$nick" "$ppd" || return 1
    # lpadmin warns that PPD files are deprecated; show its output only when it fails.
    if ! out=$(lpadmin -p "$name" -E -v "$uri" -P "$ppd" "$@" 2>&1); then
        echo "cups_add_queue $name: $out" >&2
        cups__log_tail
        return 1
    fi
}

# cups_wait_jobs_done [-t SECONDS] [QUEUE...]: wait until the queues (all when none are
# named) have no job left that is pending, held or processing. Default bound 30 seconds;
# returns 1 and lists the jobs when they are still there.
cups_wait_jobs_done() {
    local timeout=30 deadline
    if [ "${1:-}" = -t ]; then
        timeout=$2
        shift 2
    fi
    deadline=$((SECONDS + timeout))
    while :; do
        if [ -z "$(lpstat -o "$@" 2>/dev/null)" ]; then
            return 0
        fi
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "cups_wait_jobs_done: jobs still queued after ${timeout}s:" >&2
            lpstat -o "$@" >&2
            return 1
        fi
        sleep 0.1
    done
}

# cups_job_state JOB_ID: prints the job's job-state keyword (pending, held, processing,
# stopped, canceled, aborted, completed), asked of the scheduler with an IPP
# Get-Job-Attributes request over its TCP port; returns 1 when there is no answer.
cups_job_state() {
    local job=$1 body reply hex value
    body=$(mktemp "$CUPS_TEST_DIR/ipp.XXXXXX") || return 1
    {
        printf '\x02\x00\x00\x09\x00\x00\x00\x01\x01' # IPP 2.0 Get-Job-Attributes, id 1
        cups__ipp_attr 47 attributes-charset utf-8
        cups__ipp_attr 48 attributes-natural-language en
        cups__ipp_attr 45 job-uri "ipp://localhost/jobs/$job"
        cups__ipp_attr 42 requesting-user-name root
        cups__ipp_attr 44 requested-attributes job-state
        printf '\x03'
    } >"$body"
    reply=$(
        exec 3<>"/dev/tcp/127.0.0.1/$CUPS_TEST_PORT" || exit 1
        printf 'POST /jobs HTTP/1.1\r\nHost: localhost\r\nContent-Type: application/ipp\r\n' >&3
        printf 'Content-Length: %s\r\nConnection: close\r\n\r\n' "$(wc -c <"$body")" >&3
        cat "$body" >&3
        od -An -tx1 -v <&3 | tr -d ' \n'
    )
    rm -f -- "$body"
    # enum 0x23, name "job-state", a 4-byte value.
    hex=$(printf '%s' "$reply" | grep -o '2300096a6f622d73746174650004[0-9a-f]\{8\}' | head -n1)
    [ -n "$hex" ] || return 1
    value=$((16#${hex: -8}))
    case "$value" in
        3) echo pending ;;
        4) echo held ;;
        5) echo processing ;;
        6) echo stopped ;;
        7) echo canceled ;;
        8) echo aborted ;;
        9) echo completed ;;
        *) echo "$value" ;;
    esac
}

# One IPP attribute: value tag (hex), name, text value.
cups__ipp_attr() {
    local tag=$1 name=$2 value=$3
    printf "\\x$tag"
    cups__ipp_u16 ${#name}
    printf '%s' "$name"
    cups__ipp_u16 ${#value}
    printf '%s' "$value"
}
cups__ipp_u16() {
    printf "\\x$(printf %02x $(($1 >> 8)))\\x$(printf %02x $(($1 & 255)))"
}

# cups_wait_job_state JOB_ID STATE [SECONDS]: wait until the job's job-state is STATE.
# Default bound 30 seconds.
cups_wait_job_state() {
    local job=$1 want=$2 timeout=${3:-30} deadline state
    deadline=$((SECONDS + timeout))
    while :; do
        state=$(cups_job_state "$job")
        [ "$state" = "$want" ] && return 0
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "cups_wait_job_state: job $job is '$state', not '$want'" >&2
            return 1
        fi
        sleep 0.1
    done
}

# cups_captured_files QUEUE: the capture files of the queue's jobs, one path a line, in job
# order.
cups_captured_files() {
    local queue=$1 f id
    for f in "$CAPTURE_DIR/$queue"-*.bin; do
        [ -e "$f" ] || continue
        id=${f#"$CAPTURE_DIR/$queue"-}
        id=${id%.bin}
        case "$id" in
            '' | *[!0-9]*) continue ;; # another queue whose name starts the same
        esac
        printf '%s %s\n' "$id" "$f"
    done | sort -n | cut -d' ' -f2-
}

# cups_capture_file QUEUE N: the capture file of the queue's Nth captured job (1 = first;
# -1 = last). Prints nothing and returns 1 when there is no such job.
cups_capture_file() {
    local queue=$1 n=$2 files
    mapfile -t files < <(cups_captured_files "$queue")
    if [ "$n" -lt 0 ]; then
        n=$((${#files[@]} + n + 1))
    fi
    if [ "$n" -lt 1 ] || [ "$n" -gt "${#files[@]}" ]; then
        return 1
    fi
    printf '%s\n' "${files[n - 1]}"
}

# cups_job_capture QUEUE JOB_ID: the capture file path of one job (it may not exist yet).
cups_job_capture() {
    printf '%s\n' "$CAPTURE_DIR/$1-$2.bin"
}

# cups_job_uri QUEUE JOB_ID: the device URI the backend saw for that job.
cups_job_uri() {
    cat "$CAPTURE_DIR/$1-$2.uri"
}

# cups_hang QUEUE / cups_release QUEUE: make the queue's backend wait before it takes a job
# (the job stays "processing"), and let it go on.
cups_hang() {
    : >"$CAPTURE_DIR/$1.hang"
    chmod 0644 "$CAPTURE_DIR/$1.hang"
}
cups_release() {
    rm -f -- "$CAPTURE_DIR/$1.hang"
}

# cups_last_job_id QUEUE: the id of the newest job of the queue, completed or not.
cups_last_job_id() {
    lpstat -W all -o "$1" 2>/dev/null | awk '{print $1}' | sed 's/.*-//' | sort -n | tail -n1
}
