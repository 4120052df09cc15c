#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Eight tk358d processes on eight simulated panels (tk358-sim, kinds 0-4 in
# turn), publishing to one local mosquitto broker, each also writing its log
# file every second. Measures, per tk358d process, the CPU used (share of one
# core, from /proc/<pid>/stat), the resident memory at the end (VmRSS) and its
# peak (VmHWM), and the state messages the broker delivered against one per
# second. Then stops the broker for 15 s and for 60 s and measures, per
# process, the time from the broker's return to its first state message.
# Talks only to 127.0.0.1 and stops by itself.
#
#   bench/tk358d_bench.sh [build dir] [seconds] [processes]
#
# Defaults: build/normal, 600 s, 8. Needs mosquitto and mosquitto_sub.
# TK358D_BENCH_SERVICE=1 runs them as systemd would with a watchdog due every
# 0.5 s (30 times the unit's rate; the signs of life go to a socket nobody
# reads, which costs the sender the same calls) and a log file a minute with
# --keep-days, to price the watchdog and the rotation.
set -euo pipefail
build=${1:-build/normal}
seconds=${2:-600}
count=${3:-8}
daemon=$build/src/daemon/tk358d
sim=$build/sim/tk358-sim
broker=$(command -v mosquitto || echo /usr/sbin/mosquitto)
for tool in "$daemon" "$sim" "$broker"; do
    [ -x "$tool" ] || { echo "missing: $tool" >&2; exit 77; }
done
command -v mosquitto_sub >/dev/null || { echo "missing: mosquitto_sub" >&2; exit 77; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/tk358d-bench-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$dir"
}
trap cleanup EXIT
export TK358_PORT_DIR=$dir/ports
mkdir -m 0700 "$TK358_PORT_DIR"

# A loopback port nobody listens on.
port=0
for _ in $(seq 1 50); do
    candidate=$((20000 + RANDOM % 20000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
        port=$candidate
        break
    fi
done
[ "$port" -ne 0 ] || { echo "no free port" >&2; exit 1; }
{
    echo "listener $port 127.0.0.1"
    echo "allow_anonymous true"
    echo "persistence false"
    [ "$(id -u)" -eq 0 ] && echo "user root"
} > "$dir/mosquitto.conf"
start_broker() {
    "$broker" -c "$dir/mosquitto.conf" >> "$dir/mosquitto.log" 2>&1 &
    broker_pid=$!
    pids+=($broker_pid)
    for _ in $(seq 1 50); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
        sleep 0.1
    done
}
start_broker

mosquitto_sub -h 127.0.0.1 -p "$port" -v -t 'bench/+/state' > "$dir/states.txt" &
pids+=($!)

daemons=()
for i in $(seq 1 "$count"); do
    com=$((210 + i))
    "$sim" $(( (i - 1) % 5 )) --port "$com" > "$dir/sim$i.out" 2>&1 &
    pids+=($!)
    for _ in $(seq 1 50); do
        [ -e "$TK358_PORT_DIR/COM$com" ] && break
        sleep 0.1
    done
    if [ "${TK358D_BENCH_SERVICE:-0}" = 1 ]; then
        log=("--log" "$dir/p$i-%Y%m%d%H%M.csv" "--keep-days" "1")
        service=(env "NOTIFY_SOCKET=$dir/notify" WATCHDOG_USEC=1000000)
    else
        log=("--log" "$dir/p$i.csv")
        service=()
    fi
    "${service[@]}" "$daemon" --port "COM$com" --mqtt "mqtt://127.0.0.1:$port" --topic bench \
        --name "p$i" "${log[@]}" --interval 1 > "$dir/p$i.out" 2>&1 &
    pids+=($!)
    daemons+=($!)
done

# Settle: every panel identified and publishing.
sleep 15
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
received() { grep -c "^bench/p$1/state " "$dir/states.txt" || true; }
declare -A start_ticks start_msgs
for i in $(seq 1 "$count"); do
    pid=${daemons[$((i - 1))]}
    start_ticks[$i]=$(ticks "$pid")
    start_msgs[$i]=$(received "$i")
done
load_start=$(cut -d' ' -f1-3 /proc/loadavg)
begin=$(date +%s.%N)
sleep "$seconds"
end=$(date +%s.%N)
load_end=$(cut -d' ' -f1-3 /proc/loadavg)

hz=$(getconf CLK_TCK)
elapsed=$(awk -v a="$begin" -v b="$end" 'BEGIN { print b - a }')
echo "tk358d x $count for $seconds s (load average at start $load_start, at end $load_end)"
printf '%-4s %10s %9s %9s %9s %9s %8s\n' proc "CPU %core" "RSS MB" "peak MB" expected received missing
total_missing=0
for i in $(seq 1 "$count"); do
    pid=${daemons[$((i - 1))]}
    cpu=$(awk -v d=$(($(ticks "$pid") - start_ticks[$i])) -v hz="$hz" -v s="$elapsed" \
        'BEGIN { printf "%.3f", 100 * d / hz / s }')
    rss=$(awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status")
    hwm=$(awk '/^VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status")
    got=$(($(received "$i") - start_msgs[$i]))
    expected=$(awk -v s="$elapsed" 'BEGIN { printf "%d", s }')
    missing=$((expected - got > 0 ? expected - got : 0))
    total_missing=$((total_missing + missing))
    printf 'p%-3s %10s %9s %9s %9s %9s %8s\n' "$i" "$cpu" "$rss" "$hwm" "$expected" "$got" "$missing"
done
echo "log lines written: $(cat "$dir"/p*.csv | grep -c $'\r$') in $(ls "$dir"/p*.csv | wc -l) files"
echo "missing state messages in total: $total_missing"

# The broker away for $1 seconds: the time from its return to each process's
# first state message (reconnection delay, connection, next state tick).
outage() {
    kill -TERM "$broker_pid"
    wait "$broker_pid" 2>/dev/null || true
    sleep "$1"
    back=$(date +%s.%N)
    start_broker
    timeout 40 mosquitto_sub -h 127.0.0.1 -p "$port" -t 'bench/+/state' -F '%U %t' \
        > "$dir/back$1.txt" 2>/dev/null || true
    awk -v back="$back" -v n="$count" '
        !($2 in first) { first[$2] = $1 - back }
        END {
            min = 1e9; max = 0; got = 0
            for (t in first) { got++; if (first[t] < min) min = first[t]; if (first[t] > max) max = first[t] }
            printf "after a %s-s outage: first state %.1f s (earliest) to %.1f s (latest) after the broker returned; %d of %d processes\n", \
                outage_s, min, max, got, n
        }' outage_s="$1" "$dir/back$1.txt"
}
outage 15
outage 60
