# shellcheck shell=bash
# Helpers of the CUPS test scripts (harness.sh sources it). A script sets cli (kestrel-cli) and
# work (its temporary folder, where commands run), checks with expect/ask, and ends with finish.
failures=0

# Ends the test at once; \n in the message breaks lines.
fail() {
    printf 'FAIL: %b\n' "$*" >&2
    exit 1
}
# A failed check that lets the script go on.
fault() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
finish() {
    [ "$failures" -eq 0 ] || fail "$failures check(s) failed"
    echo PASS
}

# expect STATUS TEXT ARGS...: kestrel-cli ARGS, run in $work with no input, exits with STATUS,
# says TEXT (on either stream) and ends within 40 s. With KEEP=FILE, FILE must not change.
expect() {
    local expected=$1 text=$2 start=$SECONDS status
    shift 2
    [ -z "${KEEP:-}" ] || cp -- "$KEEP" "$work/.kept"
    (cd "$work" && timeout 60 "$cli" "$@" </dev/null >"$work/out" 2>&1)
    status=$?
    verdict "$*" "$status" "$expected" "$text" "$start"
    [ -z "${KEEP:-}" ] || cmp -s -- "$KEEP" "$work/.kept" || fault "$*: $KEEP changed"
}

# ask STATUS TEXT ACTION ARGS...: kestrel-cli ARGS without --yes; once its question is on screen
# (the queue has passed its check), runs the shell command ACTION, answers y, then as expect.
ask() {
    local expected=$1 text=$2 action=$3 start=$SECONDS pid i status
    shift 3
    rm -f -- "$work/answers" && mkfifo "$work/answers"
    exec 3<>"$work/answers" # open both ways, so neither side blocks on open
    : >"$work/out" # emptied here, so the previous command's question cannot be taken for this one
    (cd "$work" && timeout 60 "$cli" "$@" <"$work/answers" >"$work/out" 2>&1) &
    pid=$!
    for ((i = 0; i < 200; i++)); do
        grep -qF 'y/N]' "$work/out" 2>/dev/null && break
        sleep 0.05
    done
    grep -qF 'y/N]' "$work/out" || fault "$*: asked nothing"
    eval "$action"
    echo y >&3
    wait "$pid"
    status=$?
    exec 3>&-
    verdict "$* (after $action)" "$status" "$expected" "$text" "$start"
}

verdict() {
    local took=$((SECONDS - $5))
    if [ "$2" -ne "$3" ] || ! grep -qF -- "$4" "$work/out" || [ "$took" -gt 40 ]; then
        fault "$1: exit $2 after $took s (wanted $3, \"$4\"): $(cat "$work/out")"
    else
        echo "ok: $1 -> $2 after $took s: $(tail -n 1 "$work/out" | head -c 120)"
    fi
}

# json_field FILE KEYFIELD KEYVALUE FIELD...: the FIELDs of every object in FILE (kestrel-cli's
# JSON) whose KEYFIELD is KEYVALUE, as JSON text (strings quoted), separated by spaces.
json_field() {
    python3 -c 'import json, sys
def walk(v, kf, kv, *fields):
    if isinstance(v, dict) and v.get(kf) == kv:
        print(" ".join(json.dumps(v.get(f)) for f in fields))
    for child in v.values() if isinstance(v, dict) else v if isinstance(v, list) else []:
        walk(child, kf, kv, *fields)
walk(json.load(open(sys.argv[1])), *sys.argv[2:])' "$@"
}
