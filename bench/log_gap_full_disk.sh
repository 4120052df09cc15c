#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The measurement log over a full disk while nobody closes the message box:
# "tk358 --demo" logs every second onto a 64 KiB tmpfs, the disk is filled
# until a line fails, kept full for a while and freed again. Prints the gap in
# the file (last line before the failure to the first one after it) and how
# long after the space came back the next line was written.
#
#   bench/log_gap_full_disk.sh [tk358 executable] [seconds full]
#
# Needs root for the tmpfs mount.
set -eu
exe=${1:-build/normal/src/app/tk358}
full=${2:-20}
[ "$(id -u)" = 0 ] || { echo "needs root to mount a tmpfs" >&2; exit 77; }
dir=$(mktemp -d)
disk="$dir/disk"
mkdir "$disk"
mount -t tmpfs -o size=64k tmpfs "$disk"
pid=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    umount -l "$disk"
    rm -rf "$dir"
}
trap cleanup EXIT
log="$disk/log.csv"
printf '[LOG]\r\nFILE_NAME=%s\r\nFILE_LOG=1\r\nFILE_INTERVAL=1\r\n' "$log" > "$dir/tk358.ini"
TK358_SETTINGS_FILE="$dir/tk358.ini" TK358_PORT_DIR="$dir/ports" QT_QPA_PLATFORM=offscreen \
    "$exe" --demo 0 >/dev/null 2>&1 &
pid=$!

now_ms() { echo $(($(date +%s%N) / 1000000)); }
lines() { [ -f "$log" ] && tr -cd '\n' < "$log" | wc -c || echo 0; }
# Waits up to $1 ms for the line count to pass $2; prints the time it did, or nothing.
wait_past() {
    limit=$(($(now_ms) + $1))
    while [ "$(now_ms)" -lt "$limit" ]; do
        if [ "$(lines)" -gt "$2" ]; then now_ms; return; fi
        sleep 0.05
    done
}

# The log opens six seconds after start.
[ -n "$(wait_past 30000 2)" ] || { echo "no log lines" >&2; exit 1; }
dd if=/dev/zero of="$disk/filler" bs=512 2>/dev/null || true
# The file's last page still takes lines (up to a hundred); the disk counts as
# full from the first interval after the last line that got through.
count=$(lines)
last=$(now_ms)
while at=$(wait_past 2500 "$count"); [ -n "$at" ]; do
    count=$(lines)
    last=$at
done
left=$((full * 1000 - ($(now_ms) - last - 1000)))
[ "$left" -gt 0 ] && sleep "$((left / 1000)).$(printf '%03d' $((left % 1000)))"
rm "$disk/filler"
freed=$(now_ms)
next=$(wait_past 60000 "$count")
kill -TERM "$pid" 2>/dev/null || true
if [ -z "$next" ]; then
    echo "disk full ${full} s: no line within 60 s after the space came back (box still open)"
    exit 0
fi
awk -v gap=$((next - last)) -v resume=$((next - freed)) -v full="$full" 'BEGIN {
    printf "disk full %d s, box left open: gap in the log %.1f s, next line %.1f s after the space came back\n",
        full, gap / 1000, resume / 1000 }'
