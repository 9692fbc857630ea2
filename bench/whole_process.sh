#!/usr/bin/env bash
# Whole-process timings of kestrel-cli beside the tools a user would otherwise reach for, on the
# same input: each pair runs in turn (ours, theirs, ours, theirs ...) after one warm-up of each,
# and prints min/median/max wall milliseconds of both and the median of the pair-by-pair ratios.
#
#   bench/whole_process.sh BUILD_FOLDER logos|decode [RUNS]
#   bench/whole_process.sh BUILD_FOLDER listing [RUNS]    # as root: private cupsd, 1,000 queues
#
# logos needs ImageMagick's convert and python3 with Pillow (python3-pil); CONVERT and PYTHON
# name other copies. The BMP inputs are the ones bench_logo_convert writes to $TMPDIR.
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
area=${2:?logos, decode or listing}
runs=${3:-20}
here=$(cd "$(dirname "$0")" && pwd)
cli=$build/kestrel-cli
convert=${CONVERT:-convert}
python=${PYTHON:-python3}
work=$(mktemp -d /tmp/kestrel-whole.XXXXXX)
trap 'rm -rf -- "$work"' EXIT

# Milliseconds of one run of the command line $1, its output thrown away.
run_ms() {
    local start=$EPOCHREALTIME
    eval "$1" >/dev/null 2>&1 || echo "failed: $1" >&2
    local end=$EPOCHREALTIME
    echo "${start/./} ${end/./}" | awk '{ printf "%.3f\n", ($2 - $1) / 1000 }'
}

# min / median / max of the numbers on standard input, one a line.
spread() {
    sort -n | awk '{ v[NR] = $1 }
        END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "%.2f / %.2f / %.2f", v[1], m, v[NR] }'
}

# pair LABEL OURS THEIRS: both in turn, then one line of figures.
pair() {
    run_ms "$2" >/dev/null
    run_ms "$3" >/dev/null
    local i a b
    for ((i = 0; i < runs; i++)); do
        a=$(run_ms "$2")
        b=$(run_ms "$3")
        echo "$a $b"
    done >"$work/pairs"
    printf '%-34s ours %s ms | other %s ms | ratio %s (%d pairs)\n' "$1" \
        "$(cut -d' ' -f1 "$work/pairs" | spread)" "$(cut -d' ' -f2 "$work/pairs" | spread)" \
        "$(awk '{ print $1 / $2 }' "$work/pairs" | spread)" "$runs"
}

case $area in
logos)
    # Writes /tmp/kestrel-bench-WxH.bmp (24-bit) for every size the benchmark measures.
    "$build/bench/bench_logo_convert" --benchmark_filter=BM_ReadFileInBands \
        --benchmark_min_time=0.001 >/dev/null 2>&1
    pil="from PIL import Image; import sys; Image.open(sys.argv[1])"
    for size in 384x200 576x1000 576x2000; do
        bmp=${TMPDIR:-/tmp}/kestrel-bench-$size.bmp
        pair "$size dithered vs convert" "$cli logo preview $bmp -o $work/k.png" \
            "$convert $bmp -ordered-dither o8x8 $work/m.png"
        pair "$size dithered vs Pillow" "$cli logo preview $bmp -o $work/k.png" \
            "$python -c \"$pil.convert('1').save('$work/p.png')\" $bmp"
    done
    # A two-colour logo is a palette file; both sides map each pixel without dither.
    bmp=$work/two.bmp
    $convert "${TMPDIR:-/tmp}/kestrel-bench-576x1000.bmp" -colors 16 -type Palette "BMP3:$bmp"
    pair "576x1000 two-colour vs -threshold" "$cli logo preview $bmp --two-color -o $work/k.png" \
        "$convert $bmp -threshold 50% $work/m.png"
    pair "576x1000 two-colour vs Pillow" "$cli logo preview $bmp --two-color -o $work/k.png" \
        "$python -c \"$pil.convert('1', dither=Image.Dither.NONE).save('$work/p.png')\" $bmp"
    ;;
decode)
    config=$work/queues.ini
    printf 'capture = %s\n\n[KR-900 USB]\ndriver = ZOT KR-900 Raster\nport = usb://ZOT/KR-900\n' \
        "$work/jobs" >"$config"
    virtual=(--print-system=virtual --virtual-config "$config")
    "$cli" "${virtual[@]}" send --printer "KR-900 USB" --yes --dry-run "$work/send.prn" >/dev/null 2>&1
    "$build/bench/bench_logo_convert" --benchmark_filter=BM_ReadFileInBands/576/1000 \
        --benchmark_min_time=0.001 >/dev/null 2>&1
    for slot in 1 2 3 4 5; do
        "$cli" "${virtual[@]}" logo register --printer "KR-900 USB" --slot $slot --yes \
            --dry-run "$work/logo$slot.prn" "${TMPDIR:-/tmp}/kestrel-bench-576x1000.bmp" >/dev/null 2>&1
    done
    cat "$work"/logo[1-5].prn >"$work/define.prn"
    pair "settings send vs xxd" "$cli decode $work/send.prn" "xxd $work/send.prn"
    pair "5-logo define vs xxd" "$cli decode $work/define.prn" "xxd $work/define.prn"
    ;;
listing)
    # shellcheck source=tests/cups/harness.sh
    source "$here/../tests/cups/harness.sh"
    cups_on_exit() { rm -rf -- "$work"; }
    cups_start
    bash "$here/../tests/cups/make_many_queues.sh" 1000 >/dev/null
    pair "1,000 queues vs lpstat -v" "$cli printers" "lpstat -v"
    ;;
*)
    echo "$0: unknown area $area (logos, decode or listing)" >&2
    exit 2
    ;;
esac
