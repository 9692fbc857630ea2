#!/bin/bash
# Files that cannot be had: odd names, a folder where a file belongs, a file gone, a full disk and
# a read-only one (small tmpfs mounts, so root only). Each ends with the program's message and
# exit status, and the file that was there keeps every byte. Usage: test_file_faults.sh CLI
cli=${1:?kestrel-cli}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
work=$(mktemp -d /tmp/kestrel-files.XXXXXX) || exit 1
mounts=()
trap 'for m in "${mounts[@]}"; do umount "$m"; done; rm -rf -- "$work"' EXIT
cd "$work" || exit 1
cp "$here/../../resources/virtual-printers.ini" queues.ini
send=(--print-system virtual --virtual-config "$work/queues.ini" send --printer "KR-900 Serial" --yes)

odd="a shop's \"front\" till é.kcf"
expect 0 "Created $odd" settings set "$odd" "Paper Width=58mm/32column"
expect 0 "58mm/32column" settings show "$odd"
expect 0 "Job written to" "${send[@]}" --dry-run "$odd.bin"
cp "$here/../../../shared/testdata/bmpsuite/good/pal8.bmp" "logo ü 'x'.bmp"
expect 0 "" logo preview "logo ü 'x'.bmp" -o "logo ü 'x'.png"
[ -s "logo ü 'x'.png" ] || fault "no preview written"
mkdir folder.kcf
expect 1 "folder.kcf: cannot be read: it is a folder" settings show folder.kcf
expect 1 "folder.kcf: cannot be written" "${send[@]}" --dry-run folder.kcf
expect 1 "The BITMAP file doesn't exist." logo preview folder.kcf -o x.png
expect 1 "gone.kcf: cannot be read: no such file" settings show gone.kcf
expect 1 "The BITMAP file doesn't exist." logo preview gone.bmp -o x.png

[ "$(id -u)" -eq 0 ] || { echo "SKIP: the full and read-only disks need root"; finish; exit; }
# A 16 KB disk holding a settings file and a working configuration, then filled up.
mkdir full readonly
mount -t tmpfs -o size=16k tmpfs full && mounts+=("$work/full")
cp "$odd" full/shop.kcf && cp "$odd" full/kestrel.ini
head -c 65536 /dev/zero >full/fill 2>/dev/null
KEEP=full/shop.kcf expect 1 "full/shop.kcf: cannot be written: the disk is full" \
    settings set full/shop.kcf "Paper Width=80mm/48column"
expect 1 "cannot be written: the disk is full" settings set full/new.kcf "Buzzer=Enable"
KEEP=full/kestrel.ini expect 1 "Opening failure of temporary configuration file" \
    --folder full "${send[@]}" --save
[ "$(ls full)" = "$(printf 'fill\nkestrel.ini\nshop.kcf')" ] || fault "left on the full disk: $(ls full)"
# A read-only disk: root's rights do not help there.
mount -t tmpfs -o size=64k tmpfs readonly && mounts+=("$work/readonly")
cp "$odd" readonly/shop.kcf && mount -o remount,ro readonly
KEEP=readonly/shop.kcf expect 1 "readonly/shop.kcf: cannot be written" \
    settings set readonly/shop.kcf "Paper Width=80mm/48column"
expect 0 "58mm/32column" settings show readonly/shop.kcf
finish
