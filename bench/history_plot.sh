#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `tk358 --plot` on a year of 10-s lines (3.2 million, about 120 MB) written
# by bench_history: wall and CPU time, and the peak memory of the process.
#
#   bench/history_plot.sh <build dir> [scratch dir]
set -euo pipefail
build=${1:?usage: bench/history_plot.sh <build dir> [scratch dir]}
dir=${2:-$(mktemp -d)}
trap 'rm -f "$dir/year-10s.log" "$dir/year.png"' EXIT
TZ=Europe/Warsaw "$build/bench/bench_history" "$dir" --keep
cat "$dir/year-10s.log" > /dev/null  # a warm page cache
for run in 1 2 3; do
    TZ=Europe/Warsaw /usr/bin/time -f "--plot: %e s wall, %U+%S s CPU, %M KB peak RSS" \
        "$build/src/app/tk358" --plot "$dir/year-10s.log" -o "$dir/year.png"
done
