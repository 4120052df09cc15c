#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The licence's SPDX line in the sources.
#
# spdx_test.sh <source dir> sources   every source file carries the line
# spdx_test.sh <source dir> script    scripts/spdx-add on a scratch tree
set -uo pipefail
top=$1 mode=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if [ "$mode" = sources ]; then
    cd "$top" || exit 1
    source scripts/spdx-files.sh
    missing=0
    while IFS= read -r file; do
        tk358_spdx_has "$file" || { echo "no SPDX line: $file"; missing=$((missing + 1)); }
    done < <(tk358_spdx_files)
    [ "$missing" -eq 0 ] || fail "$missing files lack the SPDX line (run scripts/spdx-add)"
    exit $((failures > 0))
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tk358-spdx-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts" "$work/src/a" "$work/sim" "$work/tests" "$work/bench" "$work/fuzz" \
    "$work/cmake" "$work/build/x"
cp "$top/scripts/spdx-add" "$top/scripts/spdx-files.sh" "$work/scripts/"
for name in test demo fuzz; do printf '#!/bin/sh\necho %s\n' "$name" > "$work/scripts/$name"; done
chmod 755 "$work/scripts/test"
c='// SPDX-License-Identifier: GPL-3.0-or-later'
h='# SPDX-License-Identifier: GPL-3.0-or-later'
# file | content before | first lines after
cases=(
    "src/a/x.cpp|int x;|$c\nint x;"
    "src/a/y.h|#pragma once|$c\n#pragma once"
    "src/a/done.cpp|$c\nint d;|$c\nint d;"
    "src/a/v.h.in|#define V 1|$c\n#define V 1"
    "sim/CMakeLists.txt|add_library(s)|$h\nadd_library(s)"
    "cmake/m.cmake|set(A 1)|$h\nset(A 1)"
    "tests/t.sh|#!/bin/sh\nexit 0|#!/bin/sh\n$h\nexit 0"
    "scripts/test|#!/bin/sh\necho test|#!/bin/sh\n$h\necho test"
    "src/a/notes.txt|plain|plain"
    "build/x/gen.cpp|int g;|int g;"
)
for row in "${cases[@]}"; do
    IFS='|' read -r file before _ <<<"$row"
    printf '%b\n' "$before" > "$work/$file"
done
for run in 1 2; do
    "$work/scripts/spdx-add" > "$work/out.$run" || fail "spdx-add failed (run $run)"
    for row in "${cases[@]}"; do
        IFS='|' read -r file _ after <<<"$row"
        [ "$(cat "$work/$file")" = "$(printf '%b' "$after")" ] ||
            fail "run $run: $file is [$(cat "$work/$file")]"
    done
done
[ -x "$work/scripts/test" ] || fail "spdx-add dropped the executable bit"
grep -qx "SPDX line added to 0 files" "$work/out.2" || fail "second run changed: $(cat "$work/out.2")"
[ "$failures" -eq 0 ] && echo "spdx-add puts the line first once"
exit $((failures > 0))
