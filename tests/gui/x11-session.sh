# shellcheck shell=bash
# A private X display for tests and scripts that need a real X server: Xvfb with the openbox window
# manager, so that focus and activation behave as on a desktop. Source it, then `x11_start` (exports
# DISPLAY), `x11_stop` from the exit trap, `x11_wait_active dialog|normal SECONDS`, `x11_key CHORD...`
# and `x11_type TEXT` (xdotool, to the focused window).

X11_PIDS=()

x11_stop() {
    local pid
    for pid in "${X11_PIDS[@]}"; do kill "$pid" 2>/dev/null || :; done
    for pid in "${X11_PIDS[@]}"; do wait "$pid" 2>/dev/null || :; done
    X11_PIDS=()
}

x11_start() {
    local n tries tool
    for tool in Xvfb openbox xdotool xprop; do
        command -v "$tool" >/dev/null || { echo "x11_start: $tool is missing" >&2; return 1; }
    done
    # The first display number nothing uses (Xvfb refuses a taken one).
    for ((n = 90; n < 190; n++)); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        X11_PIDS+=($!)
        for ((tries = 0; tries < 100; tries++)); do
            [ -e "/tmp/.X11-unix/X$n" ] && break 2
            kill -0 "${X11_PIDS[-1]}" 2>/dev/null || break
            sleep 0.1
        done
    done
    [ -e "/tmp/.X11-unix/X$n" ] || { echo "x11_start: Xvfb did not start" >&2; x11_stop; return 1; }
    export DISPLAY=":$n"
    openbox --sm-disable >/dev/null 2>&1 &
    X11_PIDS+=($!)
    # The window manager is ready once it has claimed the screen.
    for ((tries = 0; tries < 100; tries++)); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "x11_start: openbox did not start" >&2
    return 1
}

# x11_wait_active KIND [SECONDS]: waits until the active window is of that kind.
x11_wait_active() {
    local tries id type
    for ((tries = 0; tries < ${2:-10} * 10; tries++)); do
        id=$(xdotool getactivewindow 2>/dev/null) &&
            type=$(xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null) || type=
        case "$type" in
            *DIALOG*) type=dialog ;;
            *NORMAL*) type=normal ;;
        esac
        [ "$type" = "$1" ] && { sleep 0.3; return 0; }
        sleep 0.1
    done
    echo "x11_wait_active: no active $1 window after ${2:-10} s" >&2
    return 1
}

x11_key() {
    xdotool key --clearmodifiers --delay 60 "$@"
    sleep 0.3
}

x11_type() {
    xdotool type --delay 80 "$1"
    sleep 0.3
}
