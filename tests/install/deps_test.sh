#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/deps.sh reads the packages from debian/control's Build-Depends.
#
# deps_test.sh <source dir>
set -uo pipefail
top=$1
source "$top/scripts/deps.sh"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
control=$(mktemp "${TMPDIR:-/tmp}/tk358-control-XXXXXX")
trap 'rm -f "$control"' EXIT

# Build-Depends field -> packages, space-separated
cases=(
    "debhelper-compat (= 13), cmake -> debhelper cmake"
    "a (>= 1.2) [amd64], b <!nocheck>, c:any -> a b c"
    "x | y, z [!armel] <!nocheck> <cross> -> x z"
    "one,\n               two <!nocheck>,\n               three -> one two three"
    "last, -> last"
)
for row in "${cases[@]}"; do
    field=${row%% -> *} want=${row#* -> }
    printf 'Source: s\nBuild-Depends: %b\nStandards-Version: 4.6.2\n\nPackage: p\nDepends: nope\n' \
        "$field" > "$control"
    got=$(tk358_build_depends "$control" | tr '\n' ' ' | sed 's/ $//')
    [ "$got" = "$want" ] || fail "'$field' gives [$got], not [$want]"
done

[ "$failures" -eq 0 ] && echo "deps.sh reads debian/control"
exit $((failures > 0))
