#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The bash completion of tk358 and tk358d: what a Tab after each command line
# offers, alone and with bash-completion loaded (then the words are split at
# "=" as readline splits them).
#
# completion_test.sh <completion script> [bash_completion]
set -uo pipefail
with_library=${2:-}
if [ -n "$with_library" ]; then
    [ -f "$with_library" ] || { echo "no $with_library"; exit 77; }
    source "$with_library"
fi
source "$1"
work=$(mktemp -d "${TMPDIR:-/tmp}/tk358-completion-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/ports"
ln -s /dev/null "$work/ports/COM7"
touch "$work/plant.tk358par" "$work/notes.txt" "$work/line1.ini" "$work/day.png" "$work/day.svg"
export TK358_PORT_DIR=$work/ports
cd "$work" || exit 1
failures=0

# check "<command line, the last word being completed>" "<expected, space-separated>" [absent]
check() {
    local words
    # readline's split: "=" is a word of its own.
    read -r -a words <<<"$(sed 's/=/ = /g' <<<"$1")"
    COMP_LINE=$1
    COMP_POINT=${#1}
    [[ $1 == *" " || $1 == *= ]] && words+=("")
    COMP_WORDS=("${words[@]}")
    COMP_CWORD=$((${#words[@]} - 1))
    COMPREPLY=()
    "_${words[0]}"
    local got=" ${COMPREPLY[*]} " want
    for want in $2; do
        [[ $got == *" $want "* ]] || { echo "FAIL: '$1' offers [$got], not $want"; failures=$((failures + 1)); }
    done
    if [ -n "${3:-}" ] && [[ $got == *" $3 "* ]]; then
        echo "FAIL: '$1' offers $3"
        failures=$((failures + 1))
    fi
}

check "tk358 --de" "--demo"
check "tk358 --demo " "0 1 2 3 4"
check "tk358 --restore " "COM7"
check "tk358 --backup COM7 " "plant.tk358par" "notes.txt"
check "tk358 -" "--backup --compare --restore --yes --help --version"
check "tk358 --pl" "--plot"
check "tk358 --plot notes.txt " "notes.txt line1.ini"
check "tk358 --plot notes.txt -o " "day.png day.svg" "notes.txt"
check "tk358 --chart notes.txt -" "--demo" "notes.txt"
check "tk358d --port " "COM7"
check "tk358d --demo " "0 4"
check "tk358d --log-sep" "--log-separator"
check "tk358d --log-separator " "tab comma semicolon locale"
check "tk358d --log-decimal c" "comma" "point"
check "tk358d --qos " "0 1"
check "tk358d --config " "line1.ini" "notes.txt"
check "tk358d --log " "notes.txt plant.tk358par"
check "tk358d --allow" "--allow-setpoint-writes"
check "tk358d --share-" "--share-group --share-read-only"
check "tk358d --share-group roo" "root"
check "tk358d --keep" "--keep-days"
# --option=value
check "tk358d --log-separator=se" "semicolon" "tab"
check "tk358d --log-separator=" "tab comma semicolon locale"
check "tk358d --log-date=" "locale iso"
check "tk358d --port=" "COM7"
check "tk358 --demo=3" "3" "4"
check "tk358 --output=" "day.png day.svg" "notes.txt"
check "tk358 --backup=" "COM7"
[ "$failures" -eq 0 ] && echo "completion offers what each option takes"
exit $((failures > 0))
