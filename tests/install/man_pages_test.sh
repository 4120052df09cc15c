#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every option a program's --help lists appears in its English and its Polish
# manual page, and man renders each page without a warning.
#
# man_pages_test.sh <man build dir> <program>...
set -euo pipefail
mandir=$1
shift
command -v man >/dev/null || { echo "man-db is not installed"; exit 77; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for program in "$@"; do
    name=$(basename "$program")
    options=$(QT_QPA_PLATFORM=offscreen "$program" --help |
        grep -oE '(^|[][ ,|])--?[a-z][a-z0-9-]*' | sed 's/^[][ ,|]//' | sort -u)
    [ -n "$options" ] || fail "$name --help lists no options"
    for page in "$mandir/man1/$name.1.gz" "$mandir/pl/man1/$name.1.gz"; do
        [ -f "$page" ] || { fail "no page $page"; continue; }
        warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
            man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "$page: $warnings"
        text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$page" 2>/dev/null | col -b)
        for option in $options; do
            grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$text" ||
                fail "$page does not describe $option"
        done
    done
done
[ "$failures" -eq 0 ] && echo "the manual pages of $* describe every option"
exit $((failures > 0))
