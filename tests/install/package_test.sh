#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package of a build with cpack and checks what it holds and
# what it depends on, and that lintian (where installed) reports nothing.
#
# package_test.sh <build dir> <cpack> <qt|noqt>
set -euo pipefail
build=$1 cpack=$2 qt=$3
command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null ||
    { echo "dpkg-dev is not installed"; exit 77; }

out=$(mktemp -d "${TMPDIR:-/tmp}/tk358-deb-XXXXXX")
trap 'rm -rf "$out"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$build" && "$cpack" -G DEB -B "$out" > "$out/cpack.log" 2>&1) ||
    { cat "$out/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$out"/tk358_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { cat "$out/cpack.log"; echo "FAIL: no tk358_*.deb"; exit 1; }

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./||' > "$out/files"
has() { grep -qx "$1" "$out/files" || fail "the package lacks $1"; }
has usr/bin/tk358d
has usr/bin/tk358-sim
has usr/lib/systemd/system/tk358d@.service
has usr/lib/sysusers.d/tk358d.conf
has usr/share/tk358/help/index.html
has usr/share/tk358/help/tk358d.html
has usr/share/doc/tk358d/examples/line1.ini.example
has usr/share/doc/tk358/copyright
has usr/share/doc/tk358/changelog.gz
for page in tk358d tk358-sim; do
    has usr/share/man/man1/$page.1.gz
    has usr/share/man/pl/man1/$page.1.gz
done
has usr/share/bash-completion/completions/tk358d
if [ "$qt" = qt ]; then
    has usr/bin/tk358
    has usr/share/applications/example.tk358.Tk358.desktop
    has usr/share/icons/hicolor/48x48/apps/example.tk358.Tk358.png
    has usr/share/metainfo/example.tk358.Tk358.metainfo.xml
    has usr/share/man/man1/tk358.1.gz
    has usr/share/bash-completion/completions/tk358
fi

dpkg-deb -x "$deb" "$out/root"
grep -qx "ExecStart=/usr/bin/tk358d --config /etc/tk358/%i.ini" \
    "$out/root/usr/lib/systemd/system/tk358d@.service" || fail "the unit does not run /usr/bin/tk358d"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libmosquitto1 libc6 libstdc++6; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
if [ "$qt" = qt ]; then
    for library in libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n; do
        [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
    done
fi
for script in postinst prerm postrm; do
    dpkg-deb -I "$deb" $script > /dev/null || fail "no $script"
done

# No error, warning or pedantic tag, and no missing hardening (standard
# error only says that lintian runs as root).
if command -v lintian >/dev/null; then
    lintian --pedantic -I "$deb" > "$out/lintian" 2> "$out/lintian.err" || true
    grep -E '^[EWP]: |^I: [^ ]+ hardening-no-' "$out/lintian" > "$out/lintian.bad" &&
        { cat "$out/lintian.bad" "$out/lintian.err"; fail "lintian reports the package"; }
fi

[ "$failures" -eq 0 ] && echo "package $(basename "$deb") is complete; Depends: $depends"
exit $((failures > 0))
