#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU use of a running "tk358 --demo" with the trend window open, measured
# from /proc/<pid>/stat over a stretch of time under a virtual X display.
#
#   bench/trend_idle_cpu.sh [tk358 executable] [seconds] [span in seconds]
#
# Prints the share of one core the program used. Needs xvfb-run.
set -eu
exe=${1:-build/dev/src/app/tk358}
seconds=${2:-60}
span=${3:-86400}
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing" >&2; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '[TREND]\r\nTREND_OPEN=1\r\nTREND_SPAN=%s\r\n' "$span" > "$dir/tk358.ini"

TK358_SETTINGS_FILE="$dir/tk358.ini" TK358_PORT_DIR="$dir/ports" \
    xvfb-run -a -s "-screen 0 1600x1000x24" "$exe" --demo 3 &
runner=$!

# The program is a child of xvfb-run; wait until it is up and settled.
name=$(basename "$exe" | cut -c1-15)
pid=""
for _ in $(seq 1 100); do
    pid=$(pgrep -n -P "$runner" -x "$name" || true)
    [ -n "$pid" ] && break
    sleep 0.2
done
[ -n "$pid" ] || { echo "the program did not start" >&2; kill "$runner"; exit 1; }
sleep 10

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
start=$(ticks "$pid")
sleep "$seconds"
end=$(ticks "$pid")
hz=$(getconf CLK_TCK)
grep -q "TREND_OPEN" "$dir/tk358.ini"
kill -TERM "$pid"
wait "$runner" || true
awk -v d=$((end - start)) -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "tk358 --demo, trend window open: %.2f %% of one core over %d s\n", 100 * d / hz / s, s }'
grep -q "^TREND_OPEN=1" "$dir/tk358.ini" && echo "trend window still open at the end: stored"
