#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The main window under an X server names its desktop entry: the properties
# docks read carry the entry's id, and its WM_CLASS is the entry's
# StartupWMClass. Skipped (77) without xvfb-run, xprop or xwininfo.
#
# window_identity_test.sh <tk358> <desktop entry>
set -uo pipefail
program=$1 entry=$2
if [ -z "${TK358_IN_XVFB:-}" ]; then
    for tool in xvfb-run xprop xwininfo; do
        command -v $tool >/dev/null || { echo "no $tool"; exit 77; }
    done
    TK358_IN_XVFB=1 exec xvfb-run -a "$0" "$@"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tk358-window-XXXXXX")
env -u QT_QPA_PLATFORM HOME="$work" XDG_CONFIG_HOME="$work/config" \
    "$program" --demo 3 > "$work/out" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf "$work"' EXIT
window=
for _ in $(seq 1 100); do
    window=$(xwininfo -root -tree | awk '/\("tk358" "tk358"\)/ { print $1; exit }')
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { cat "$work/out"; echo "FAIL: no tk358 window"; exit 1; }

id=$(basename "$entry" .desktop)
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
failures=0
# property -> the value xprop shows
cases=(
    "_GTK_APPLICATION_ID -> _GTK_APPLICATION_ID(UTF8_STRING) = \"$id\""
    "_KDE_NET_WM_DESKTOP_FILE -> _KDE_NET_WM_DESKTOP_FILE(UTF8_STRING) = \"$id\""
    "WM_CLASS -> WM_CLASS(STRING) = \"tk358\", \"$wm_class\""
)
for row in "${cases[@]}"; do
    property=${row%% -> *} want=${row#* -> }
    got=$(xprop -id "$window" "$property")
    [ "$got" = "$want" ] || { echo "FAIL: $got, not $want"; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ] && echo "the window names $id"
exit $((failures > 0))
