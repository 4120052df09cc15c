#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build tree into a scratch prefix and checks what lands there:
# the help (with working links), the icons in the hicolor theme at their real
# sizes, the desktop entry, the executables with their manual pages and shell
# completion, and that a program in the
# installed bin folder finds the installed help.
#
# install_test.sh <build dir> <help_check> <help_location_probe> <desktop id>
#                 <bindir> <datadir> <docdir> <executables, comma-separated>
#                 <systemd unit dir>
set -euo pipefail
build=$1 help_check=$2 probe=$3 id=$4 bindir=$5 datadir=$6 docdir=$7 programs=$8
unitdir=${9:-lib/systemd/system}

prefix=$(mktemp -d "${TMPDIR:-/tmp}/tk358-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { [ -f "$prefix/$1" ] || fail "not installed: $1"; }

cmake --install "$build" --prefix "$prefix" >/dev/null

data=$datadir/tk358
need "$data/help/index.html"
need "$data/help/style.css"
for image in status-correct status-error status-no-link tk358-48; do
    need "$data/icons/$image.png"
done
need "$datadir/metainfo/$id.metainfo.xml"
[ -d "$prefix/$docdir/help" ] && fail "help left under $docdir"
need "$datadir/applications/$id.desktop"
need "$datadir/icons/hicolor/scalable/apps/$id.svg"

# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'
}
for size in 16 22 24 32 48 64 128 256; do
    icon="$datadir/icons/hicolor/${size}x${size}/apps/$id.png"
    need "$icon"
    if [ -f "$prefix/$icon" ] && [ "$(png_size "$prefix/$icon")" != "${size}x${size}" ]; then
        fail "$icon is $(png_size "$prefix/$icon")"
    fi
done

"$help_check" "$prefix/$data/help" || fail "the installed help has broken pages or links"

desktop="$prefix/$datadir/applications/$id.desktop"
if [ -f "$desktop" ]; then
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
    grep -qx "StartupWMClass=tk358" "$desktop" || fail "the desktop entry lacks the window class"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate refused the entry"
    fi
fi

found=$("$probe" "$prefix/$bindir")
[ "$found" = "$prefix/$data/help/index.html" ] ||
    fail "a program in $bindir finds its help at '$found'"

IFS=, read -r -a executables <<<"$programs"
for program in "${executables[@]}"; do
    need "$bindir/$program"
    need "$datadir/man/man1/$program.1.gz"
    need "$datadir/man/pl/man1/$program.1.gz"
    if [ "$program" != tk358-sim ]; then
        need "$datadir/bash-completion/completions/$program"
    fi
done
if [ -x "$prefix/$bindir/tk358" ]; then
    # The installed program must start from its new place (libraries, plugins).
    HOME="$prefix" XDG_CONFIG_HOME="$prefix/config" QT_QPA_PLATFORM=offscreen \
        "$prefix/$bindir/tk358" --version >/dev/null || fail "the installed tk358 --version failed"
fi
if [ -x "$prefix/$bindir/tk358-sim" ]; then
    "$prefix/$bindir/tk358-sim" --help >/dev/null || fail "the installed tk358-sim --help failed"
fi

# tk358d: the program, its help page, and a systemd unit that runs the
# installed program and passes systemd's own check.
if [ -x "$prefix/$bindir/tk358d" ]; then
    "$prefix/$bindir/tk358d" --help | grep -q -- "--allow-setpoint-writes" ||
        fail "the installed tk358d --help failed"
    need "$data/help/tk358d.html"
    need "$datadir/doc/tk358d/examples/line1.ini.example"
    unit="$prefix/$unitdir/tk358d@.service"
    need "$unitdir/tk358d@.service"
    need "lib/sysusers.d/tk358d.conf"
    if [ -f "$unit" ]; then
        grep -qx "ExecStart=$prefix/$bindir/tk358d --config /etc/tk358/%i.ini" "$unit" ||
            fail "the unit does not start the installed tk358d: $(grep ExecStart "$unit")"
        for line in Type=notify WatchdogSec=30 'ExecReload=/bin/kill -HUP $MAINPID' \
            "Documentation=file://$prefix/$data/help/tk358d.html"; do
            grep -qxF "$line" "$unit" || fail "the unit lacks $line"
        done
        if command -v systemd-analyze >/dev/null; then
            check=$(mktemp -d)
            cp "$unit" "$check/tk358d@line1.service"
            systemd-analyze verify --man=no "$check/tk358d@line1.service" > "$check/out" 2>&1 ||
                fail "systemd-analyze refused the unit: $(cat "$check/out")"
            grep -v "^$" "$check/out" && fail "systemd-analyze warned about the unit"
            # The sandbox stays tight (older systemd-analyze cannot score a file).
            if systemd-analyze security --help 2>/dev/null | grep -q -- --offline; then
                systemd-analyze security --offline=yes --threshold=20 --no-pager \
                    "$check/tk358d@line1.service" > "$check/out" 2>&1 ||
                    fail "the unit's exposure is above 2.0: $(grep Overall "$check/out")"
            fi
            rm -rf "$check"
        fi
        # Every kind of serial line a plant uses passes the device ACL; consoles,
        # memory and the kernel log (marked "-") do not.
        mapfile -t allowed < <(sed -n 's/^DeviceAllow=char-\([^ ]*\) rw$/\1/p' "$unit")
        for device in ttyS ttySC ttyUSB ttyACM ttyAMA ttyMAX pts -tty -ttyprintk -mem; do
            admitted=no want=yes
            [ "${device:0:1}" = - ] && device=${device#-} want=no
            for pattern in "${allowed[@]}"; do
                if [[ $device == $pattern ]]; then admitted=yes; fi
            done
            [ "$admitted" = "$want" ] || fail "DeviceAllow= admits $device: $admitted"
        done
    fi
fi

[ "$failures" -eq 0 ] && echo "installed tree is complete"
exit $((failures > 0))
