#!/bin/bash
# Files that cannot be had: odd names, a folder where a file belongs, a file gone, a full disk and
# a read-only one (both small tmpfs mounts, so root only). Each ends with the program's message and
# exit status, and the file that was there keeps every byte. Usage: test_file_faults.sh CLI
cli=${1:?kestrel-cli}
here=$(cd "$(dirname "$0")" && pwd)
bmp=$here/../../../shared/testdata/bmpsuite/good/pal8.bmp
work=$(mktemp -d /tmp/kestrel-files.XXXXXX) || exit 1
mounts=()
trap 'for m in "${mounts[@]}"; do umount "$m"; done; rm -rf -- "$work"' EXIT
cd "$work" || exit 1
cp "$here/../../resources/virtual-printers.ini" queues.ini
virtual=(--print-system virtual --virtual-config "$work/queues.ini")
failures=0

# check STATUS TEXT KEEP ARGS...: kestrel-cli ARGS ends with STATUS and says TEXT; the file KEEP
# (or "-") is byte for byte what it was before.
check() {
    local expected=$1 text=$2 keep=$3 status
    shift 3
    [ "$keep" = - ] || cp -- "$keep" "$work/before"
    "$cli" "$@" </dev/null >"$work/out" 2>&1
    status=$?
    if [ "$status" -ne "$expected" ] || ! grep -qF -- "$text" "$work/out"; then
        echo "FAIL: $* -> exit $status (wanted $expected, \"$text\"): $(cat "$work/out")" >&2
        failures=$((failures + 1))
    elif [ "$keep" != - ] && ! cmp -s -- "$keep" "$work/before"; then
        echo "FAIL: $*: $keep changed" >&2
        failures=$((failures + 1))
    else
        echo "ok: $* -> $status: $(tail -n 1 "$work/out")"
    fi
}

odd="a shop's \"front\" till é.kcf"
check 0 "Created $odd" - settings set "$odd" "Paper Width=58mm/32column"
check 0 "58mm/32column" - settings show "$odd"
check 0 "Job written to" - "${virtual[@]}" send --printer "KR-900 Serial" --yes --dry-run "$odd.bin"
cp "$bmp" "logo ü 'x'.bmp"
check 0 "" - logo preview "logo ü 'x'.bmp" -o "logo ü 'x'.png"
mkdir folder.kcf
check 1 "folder.kcf: cannot be read: it is a folder" - settings show folder.kcf
check 1 "folder.kcf: cannot be read: it is a folder" - settings set folder.kcf "Buzzer=Enable"
check 1 "folder.kcf: cannot be written" - "${virtual[@]}" send --printer "KR-900 Serial" --yes \
    --dry-run folder.kcf
check 1 "The BITMAP file doesn't exist." - logo preview folder.kcf -o x.png
check 1 "gone.kcf: cannot be read: no such file" - settings show gone.kcf
check 1 "The BITMAP file doesn't exist." - logo preview gone.bmp -o x.png

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: the full and read-only disks need root to mount"
    exit $((failures > 0))
fi
# A 16 KB disk holding a settings file and a working configuration, then filled up.
mkdir full readonly
mount -t tmpfs -o size=16k tmpfs full && mounts+=("$work/full")
cp "$odd" full/shop.kcf && cp "$odd" full/kestrel.ini
head -c 65536 /dev/zero >full/fill 2>/dev/null
check 1 "full/shop.kcf: cannot be written: the disk is full" full/shop.kcf \
    settings set full/shop.kcf "Paper Width=80mm/48column"
check 1 "cannot be written: the disk is full" - settings set full/new.kcf "Buzzer=Enable"
[ ! -e full/new.kcf ] || { echo "FAIL: a partial full/new.kcf was left" >&2; failures=$((failures + 1)); }
check 1 "Opening failure of temporary configuration file" full/kestrel.ini "${virtual[@]}" --folder full send --printer "KR-900 Serial" --yes \
    --save
[ "$(ls full)" = "$(printf 'fill\nkestrel.ini\nshop.kcf')" ] ||
    { echo "FAIL: left on the full disk: $(ls full)" >&2; failures=$((failures + 1)); }
# A read-only disk: root's rights do not help there.
mount -t tmpfs -o size=64k tmpfs readonly && mounts+=("$work/readonly")
cp "$odd" readonly/shop.kcf && mount -o remount,ro readonly
check 1 "readonly/shop.kcf: cannot be written" readonly/shop.kcf \
    settings set readonly/shop.kcf "Paper Width=80mm/48column"
check 0 "58mm/32column" - settings show readonly/shop.kcf
exit $((failures > 0))
