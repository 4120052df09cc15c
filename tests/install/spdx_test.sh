#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file starts with the licence's SPDX line (scripts/spdx-add
# puts it where it lacks).
#
# spdx_test.sh <source dir>
set -uo pipefail
cd "$1" || exit 1
source scripts/spdx-files.sh
missing=0
while IFS= read -r file; do
    tk358_spdx_has "$file" || { echo "no SPDX line: $file"; missing=$((missing + 1)); }
done < <(tk358_spdx_files)
[ "$missing" -eq 0 ] || { echo "FAIL: $missing files lack the SPDX line (run scripts/spdx-add)"; exit 1; }
