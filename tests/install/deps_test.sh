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

# The project's own list: the tests' broker and the Qt headers are there,
# the dependency-only field names are not.
for want in debhelper qt6-base-dev libmosquitto-dev mosquitto libgtest-dev clang-format; do
    [[ " ${TK358_PACKAGES[*]} " == *" $want "* ]] || fail "the package list lacks $want"
done
for unwanted in debhelper-compat '${misc:Depends}' nocheck; do
    [[ " ${TK358_PACKAGES[*]} " == *"$unwanted"* ]] && fail "the package list holds $unwanted"
done
[ "$failures" -eq 0 ] && echo "deps.sh reads debian/control"
exit $((failures > 0))
