#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The packages dpkg-buildpackage made, installed as a user installs them:
# lintian, the hardening of each program, the manual page, the help with the
# packages' /usr/share/doc folders removed (as minimal images drop them), the
# completion of --option=value, then removal and purge. Needs root; changes
# the system it runs on.
#
# debian_package_test.sh <folder of the .changes> <help_check> <help_location_probe>
set -uo pipefail
dir=$1 help_check=$2 probe=$3
[ "$(id -u)" -eq 0 ] || { echo "needs root"; exit 77; }
changes=$(ls "$dir"/tk358_*.changes 2>/dev/null | head -n 1)
[ -n "$changes" ] || { echo "FAIL: no tk358_*.changes in $dir"; exit 1; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {  # check <what> <command...>
    local what=$1
    shift
    "$@" > /tmp/tk358-package-check.out 2>&1 || { cat /tmp/tk358-package-check.out; fail "$what"; }
}

# No error, warning or pedantic tag, and no missing hardening.
lintian --pedantic -I "$changes" 2>/dev/null | grep -E '^[EWP]: |^I: [^ ]+ hardening-no-' &&
    fail "lintian reports the packages"
for deb in "$dir"/tk358_*.deb "$dir"/tk358d_*.deb; do
    [ -f "$dir/$(basename "$deb" | sed 's/_/-dbgsym_/')" ] || fail "no debug symbols for $deb"
done

export DEBIAN_FRONTEND=noninteractive
check "install" apt-get install -y "$dir"/tk358_*_*.deb "$dir"/tk358d_*_*.deb
for program in tk358 tk358-sim tk358d; do
    check "$program is installed" test -x /usr/bin/$program
    if command -v hardening-check >/dev/null; then
        # Not control-flow protection: no Debian 12 program can be marked for it.
        check "$program is hardened" hardening-check --nocfprotection /usr/bin/$program
    fi
done
check "the user tk358" getent passwd tk358
check "the port directory" test "$(stat -c '%a %U' /etc/tk358/ports)" = "700 tk358"
check "man tk358" sh -c 'man -w tk358 && MANWIDTH=80 man tk358 | grep -q -- --plot'
check "man tk358d" sh -c 'man -w tk358d | grep -q /usr/share/man/man1/tk358d.1.gz'

# The help without the documentation folders, found where F1 looks.
rm -rf /usr/share/doc/tk358 /usr/share/doc/tk358d
check "the help pages and their links" "$help_check" /usr/share/tk358/help
check "F1 finds the help" test "$("$probe" /usr/bin)" = /usr/share/tk358/help/index.html

# bash-completion loads the installed file on the first Tab; readline makes
# "=" a word of its own.
completion=$(bash -c '
    source /usr/share/bash-completion/bash_completion
    _completion_loader tk358d
    COMP_LINE="tk358d --log-separator=se" COMP_POINT=${#COMP_LINE}
    COMP_WORDS=(tk358d --log-separator = se) COMP_CWORD=3
    $(complete -p tk358d | sed "s/.*-F \([^ ]*\) .*/\1/") tk358d se =
    echo "${COMPREPLY[*]}"')
[ "$completion" = semicolon ] || fail "tk358d --log-separator=se completes to '$completion'"

check "remove" apt-get remove -y tk358 tk358d
check "the programs are gone" test ! -e /usr/bin/tk358 -a ! -e /usr/bin/tk358d
check "the port directory stays until purge" test -d /etc/tk358/ports
check "purge" apt-get purge -y tk358 tk358d
check "purge removes the port directory" test ! -e /etc/tk358/ports
check "nothing of the packages is left" sh -c '! dpkg -l tk358 tk358d 2>/dev/null | grep -q "^[ir]"'

[ "$failures" -eq 0 ] && echo "the packages install, work and go"
exit $((failures > 0))
