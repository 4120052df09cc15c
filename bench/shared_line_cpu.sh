#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# CPU use of tk358d sharing its line, measured from /proc/<pid>/stat: first
# with nobody on the socket, then with the program's window connected
# through a COMn link to it (under a virtual X display). The simulated panel
# runs as its own process (tk358-sim), so only the daemon's work is counted.
#
#   bench/shared_line_cpu.sh [build dir] [seconds]
#
# Prints the share of one core tk358d used in each stretch. Needs xvfb-run.
set -eu
build=${1:-build/normal}
seconds=${2:-60}
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing" >&2; exit 77; }
dir=$(mktemp -d)
mkdir -m 700 "$dir/ports"
export TK358_PORT_DIR="$dir/ports"
pids=""
trap 'kill $pids 2>/dev/null || true; sleep 1; rm -rf "$dir"' EXIT

"$build/sim/tk358-sim" --port 211 3 > "$dir/sim.out" 2>&1 &
pids="$!"
sleep 1
"$build/src/daemon/tk358d" --port COM211 --share "$dir/line.sock" > "$dir/tk358d.out" 2>&1 &
daemon=$!
pids="$pids $daemon"
ln -s "$dir/line.sock" "$dir/ports/COM9"
sleep 8

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
share() { awk -v d="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.3f %%", 100 * d / hz / s }'; }

start=$(ticks "$daemon")
sleep "$seconds"
alone=$(($(ticks "$daemon") - start))

printf '[GENERAL]\r\nPORT_NR=9\r\n' > "$dir/tk358.ini"
TK358_SETTINGS_FILE="$dir/tk358.ini" xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build/src/app/tk358" > "$dir/tk358.out" 2>&1 &
pids="$pids $!"
sleep 10  # the window's start sequence is over
start=$(ticks "$daemon")
sleep "$seconds"
shared=$(($(ticks "$daemon") - start))
grep -q "klient linii połączony" "$dir/tk358d.out" || { cat "$dir/tk358d.out"; exit 1; }
echo "tk358d, line not in use: $(share $alone) of one core over $seconds s"
echo "tk358d, window on the line: $(share $shared) of one core over $seconds s"
