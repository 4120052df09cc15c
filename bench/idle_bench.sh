#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Idle cost of the window beside a plain serial terminal, under a virtual X
# display. Each program talks to its own tk358-sim of the same kind and flags
# (status lines once a second, monitoring on from the start). A round runs
# gtkterm alone, then tk358 in three set-ups at once, each with its own
# simulator and settings: the service view on; the service view and the chart
# at its default span; the service view and the chart at 5 minutes. Every run
# is measured for SECONDS after a WARMUP.
#
#   bench/idle_bench.sh [tk358] [tk358-sim] [rounds] [seconds] [kind]
#
# Prints every run, then the medians of the CPU share of one core, VmHWM and
# RssAnon, and tk358's ratio to gtkterm. Needs Xvfb and gtkterm (exit 77 when
# either is missing).
#
# FLOOR names a Qt program that only shows a clock (bench/qt_floor, taken
# from beside tk358's build when it is there; FLOOR= leaves it out). It runs
# alone after gtkterm in every round: what any Qt widget window pays to
# repaint a text once a second, the floor under tk358's figure.
set -eu
exe=${1:-build/normal/src/app/tk358}
sim=${2:-build/normal/sim/tk358-sim}
rounds=${3:-3}
seconds=${4:-120}
kind=${5:-3}
warmup=${WARMUP:-10}
floor=${FLOOR-$(dirname "$exe")/../../bench/qt_floor}
[ -z "$floor" ] || [ -x "$floor" ] || floor=""
for tool in Xvfb gtkterm; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 77; }
done
[ -x "$exe" ] && [ -x "$sim" ] || { echo "no $exe or $sim" >&2; exit 2; }

dir=$(mktemp -d)
pids=""
cleanup() {
    for p in $pids; do kill -TERM "$p" 2>/dev/null || true; done
    sleep 1
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$dir/display" 2>/dev/null &
pids="$pids $!"
for _ in $(seq 1 50); do [ -s "$dir/display" ] && break; sleep 0.2; done
[ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(cat "$dir/display")
export DISPLAY NO_AT_BRIDGE=1 QT_QPA_PLATFORM=xcb

# start_sim NAME: a simulator with its own port directory; sets $tty.
start_sim() {
    mkdir -p "$dir/$1" && mkdir -m 700 "$dir/$1/ports"
    : >"$dir/$1/sim.out"  # read below before the simulator may have opened it
    "$sim" --monitoring --port 200 --port-dir "$dir/$1/ports" "$kind" >"$dir/$1/sim.out" &
    eval "sim_$1=$!"
    pids="$pids $!"
    tty=""
    for _ in $(seq 1 50); do
        tty=$(sed -n 's/^Terminal: //p' "$dir/$1/sim.out" || true)
        [ -n "$tty" ] && return 0
        sleep 0.1
    done
    echo "tk358-sim did not start" >&2
    exit 1
}

# start_tk358 NAME SPAN: the window on COM200 of its simulator, service view
# on, the chart open at SPAN seconds (0: chart closed).
start_tk358() {
    start_sim "$1"
    {
        printf '[GENERAL]\r\nPORT_NR=200\r\nSHOW_SERVICE=1\r\n'
        if [ "$2" -gt 0 ]; then printf '[TREND]\r\nTREND_OPEN=1\r\nTREND_SPAN=%s\r\n' "$2"; fi
    } >"$dir/$1/tk358.ini"
    HOME="$dir/$1" TK358_SETTINGS_FILE="$dir/$1/tk358.ini" TK358_PORT_DIR="$dir/$1/ports" \
        "$exe" >"$dir/$1/out" 2>&1 &
    eval "pid_$1=$!"
    pids="$pids $!"
}

start_floor() {
    mkdir -p "$dir/floor"
    HOME="$dir/floor" "$floor" >"$dir/floor/out" 2>&1 &
    pid_floor=$!
    sim_floor=""
    pids="$pids $!"
}

start_gtkterm() {
    start_sim gtkterm
    HOME="$dir/gtkterm" gtkterm --port "$tty" --speed 9600 >"$dir/gtkterm/out" 2>&1 &
    pid_gtkterm=$!
    pids="$pids $!"
}

# Nanoseconds of CPU the process's threads have used.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'
}

status_kb() {
    awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"
}

# stop NAME...: ends the programs and their simulators.
stop() {
    for name in "$@"; do
        eval "p=\$pid_$name; s=\$sim_$name"
        kill -TERM $p $s 2>/dev/null || true
        wait "$p" 2>/dev/null || true
        [ -z "$s" ] || wait "$s" 2>/dev/null || true
        rm -rf "${dir:?}/$name"
    done
}

# measure ROUND NAME...: one stretch of the named programs, one line each.
measure() {
    round=$1
    shift
    sleep "$warmup"
    for name in "$@"; do
        eval "p=\$pid_$name"
        kill -0 "$p" 2>/dev/null || { echo "$name ended early:" >&2; cat "$dir/$name/out" >&2; exit 1; }
        eval "start_$name=$(cpu_ns "$p")"
    done
    sleep "$seconds"
    for name in "$@"; do
        eval "p=\$pid_$name; s=\$start_$name"
        e=$(cpu_ns "$p")
        echo "$round $name $(awk -v d=$((e - s)) -v t="$seconds" 'BEGIN { printf "%.4f", d / 1e7 / t }') $(status_kb "$p" VmHWM) $(status_kb "$p" RssAnon)" >>"$dir/results"
    done
}

echo "kind $kind, $rounds rounds of ${seconds} s after ${warmup} s, display $DISPLAY"
r=1
while [ "$r" -le "$rounds" ]; do
    start_gtkterm
    measure "$r" gtkterm
    stop gtkterm
    if [ -n "$floor" ]; then
        start_floor
        measure "$r" floor
        stop floor
    fi
    start_tk358 service 0
    start_tk358 chart 1800
    start_tk358 chart5 300
    measure "$r" service chart chart5
    stop service chart chart5
    r=$((r + 1))
done

echo "round program cpu% VmHWM-kB RssAnon-kB"
cat "$dir/results"
echo
echo "medians:"
for name in gtkterm ${floor:+floor} service chart chart5; do
    for col in 3 4 5; do
        awk -v n="$name" -v c="$col" '$2 == n { print $c }' "$dir/results" | sort -g |
            awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
    done | paste -sd' ' | sed "s/^/$name /"
done >"$dir/medians"
awk 'NR == FNR && $1 == "gtkterm" { c = $2; h = $3; a = $4 }
     NR == FNR { next }
     { printf "%-8s cpu %.4f %% (%.2f x gtkterm)  VmHWM %d kB (%.2f x)  RssAnon %d kB (%.2f x)\n",
              $1, $2, (c > 0 ? $2 / c : 0), $3, $3 / h, $4, $4 / a }' \
    "$dir/medians" "$dir/medians"
