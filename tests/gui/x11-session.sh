# shellcheck shell=bash
# A private X display for tests that need a real X server: Xvfb (xvfb) with the openbox window
# manager (openbox), so that focus and activation behave as on a desktop. Source it, then:
#
#   x11_start || exit 1          # exports DISPLAY
#   x11_stop                     # ends the display; call it from the script's exit trap
#   x11_wait_active dialog 10    # wait until the active window is a dialog (or "normal")
#   x11_key alt+c                # one key chord to the focused window (xdotool)

X11_PIDS=()

x11_stop() {
    local pid
    for pid in "${X11_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${X11_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    X11_PIDS=()
}

x11_start() {
    local display tries n tool
    for tool in Xvfb openbox xdotool xprop; do
        command -v "$tool" >/dev/null || { echo "x11_start: $tool is missing" >&2; return 1; }
    done
    # A display number nothing uses; Xvfb refuses a taken one, so try the next.
    display=
    for ((n = 90; n < 190; n++)); do
        [ -n "$display" ] && break
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        X11_PIDS+=($!)
        for ((tries = 0; tries < 100; tries++)); do
            [ -e "/tmp/.X11-unix/X$n" ] && { display=$n; break; }
            kill -0 "${X11_PIDS[-1]}" 2>/dev/null || break
            sleep 0.1
        done
    done
    if [ -z "$display" ]; then
        echo "x11_start: Xvfb did not start" >&2
        x11_stop
        return 1
    fi
    export DISPLAY=":$display"
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

# The kind of the active window: "dialog", "normal" or nothing when none is active.
x11_active_kind() {
    local id type
    id=$(xdotool getactivewindow 2>/dev/null) || return 0
    type=$(xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null)
    case "$type" in
        *DIALOG*) echo dialog ;;
        *NORMAL*) echo normal ;;
    esac
}

# x11_wait_active KIND [SECONDS]: waits until the active window is of that kind.
x11_wait_active() {
    local kind=$1 seconds=${2:-10} tries
    for ((tries = 0; tries < seconds * 10; tries++)); do
        [ "$(x11_active_kind)" = "$kind" ] && { sleep 0.3; return 0; }
        sleep 0.1
    done
    echo "x11_wait_active: no active $kind window after $seconds s" >&2
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
