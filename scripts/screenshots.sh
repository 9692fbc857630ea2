#!/usr/bin/env bash
# Screenshots of the windowed program for docs/, made under Xvfb with a window manager on the
# embedded virtual print system, driven by the keyboard as a user would:
#
#   scripts/screenshots.sh [BUILD_FOLDER]     (default build-run; built first if missing)
#
# docs/selection-dialog.png, docs/kr900-page-{1,2,3}.png, docs/kr500-page-{1,2,3}.png and
# docs/message-box.png (the version box) and docs/logo-dialog.png are written.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-run}
kestrel=$build/src/app/kestrel
if [ ! -x "$kestrel" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_TESTS=OFF \
        -DKESTREL_BENCH=OFF >/dev/null
    cmake --build "$build" -j"$(nproc)" --target kestrel >/dev/null
fi
source "$root/tests/gui/x11-session.sh"

work=$(mktemp -d)
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    x11_stop
    rm -rf -- "$work"
}
trap cleanup EXIT
x11_start
cp "$root/resources/virtual-printers.ini" "$work/"
# A photo-like logo: ImageMagick's built-in rose picture in 256 colours, as an 8-bit BMP.
convert rose: -resize 180% -colors 256 -type Palette BMP3:"$work/photo.bmp"
# A drawing for two colours: black where it prints black, pure red where it prints red.
convert -size 160x80 xc:white -fill red -draw "circle 40,40 40,8" -fill black \
    -draw "rectangle 84,16 150,28" -draw "rectangle 84,36 150,48" -draw "rectangle 84,56 130,68" \
    +antialias -colors 4 -type Palette BMP3:"$work/drawing.bmp"

shoot() {
    sleep 0.5
    import -window "$(xdotool getactivewindow)" "$root/docs/$1.png"
    echo "docs/$1.png"
}

# run QUEUE_LETTERS PREFIX [SHOOT_DIALOGS]
run() {
    local letters=$1 prefix=$2 dialogs=${3:-}
    (cd "$work" && exec "$kestrel" --print-system=virtual --virtual-config virtual-printers.ini \
        >>"$work/log" 2>&1) &
    app_pid=$!
    x11_wait_active dialog 20
    [ -n "$dialogs" ] && shoot selection-dialog
    x11_type "$letters"
    x11_key Return
    x11_wait_active normal 10
    for page in 1 2 3; do
        shoot "$prefix-page-$page"
        x11_key ctrl+Tab
    done
    if [ -n "$dialogs" ]; then
        x11_key alt+v
        x11_wait_active dialog 10
        shoot message-box
        x11_key Return
        x11_wait_active normal 10
        # The logo dialog with the same photo in slot 1 (monochrome, dithered) and in slot 2
        # (two colours), and a black and red drawing in slot 3 (two colours): Tab walks each slot's 2Color box, path, Refer, Delete, Regist, Print.
        x11_key alt+r
        x11_wait_active dialog 10
        x11_key Tab
        x11_type "$work/photo.bmp"
        x11_key --repeat 5 Tab
        x11_key space Tab
        x11_type "$work/photo.bmp"
        x11_key --repeat 5 Tab
        x11_key space Tab
        x11_type "$work/drawing.bmp"
        sleep 1.5
        shoot logo-dialog
        x11_key --repeat 18 Tab
        x11_key space
        x11_wait_active normal 10
    fi
    x11_key alt+x
    x11_wait_active dialog 10
    x11_key n
    wait "$app_pid" || true
    app_pid=
}

mkdir -p "$root/docs"
run "KR-900 S" kr900 dialogs
run "KR-500" kr500
