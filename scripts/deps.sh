# SPDX-License-Identifier: GPL-3.0-or-later
# Debian 12 packages the build, the tests and the demo need: the
# Build-Depends of debian/control (the one list of what builds and tests the
# program), and the tools of the project's own test run (format check,
# sanitizer and fuzz builds, benchmarks, the compiler cache), with the
# compiler every Debian build assumes (build-essential). Sourced by
# scripts/test and scripts/demo.

TK358_DEVELOPER_TOOLS=(build-essential ccache clang clang-format libclang-rt-14-dev libbenchmark-dev)

# The Build-Depends of a debian/control, one package a line: every profile
# included, versions and architectures dropped, the first of alternatives.
# debhelper-compat is debhelper's virtual package.
tk358_build_depends() {
    awk '
        /^Build-Depends(-Indep|-Arch)?:/ { on = 1; sub(/^[^:]*:/, ""); print; next }
        on && /^[ \t]/ { print; next }
        { on = 0 }
    ' "$1" | tr ',' '\n' | sed -e 's/|.*//' -e 's/([^)]*)//g' -e 's/\[[^]]*\]//g' \
        -e 's/<[^>]*>//g' -e 's/[[:space:]]//g' -e 's/:any$//' -e '/^$/d' \
        -e 's/^debhelper-compat$/debhelper/'
}

mapfile -t TK358_PACKAGES < <(tk358_build_depends "$(dirname "${BASH_SOURCE[0]}")/../debian/control")
TK358_PACKAGES+=("${TK358_DEVELOPER_TOOLS[@]}")

# Installs what is missing: as root with apt-get, otherwise prints the command and fails.
tk358_install_missing() {
    local missing=()
    mapfile -t missing < <(
        dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' "${TK358_PACKAGES[@]}" 2>/dev/null |
            awk '$2 == "ii" { print $1 }' | sort -u | comm -13 - <(printf '%s\n' "${TK358_PACKAGES[@]}" | sort -u)
    )
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages. Install them with:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        return 1
    fi
    echo "== Installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y "${missing[@]}" || { apt-get update && apt-get install -y "${missing[@]}"; }
}
# A comma-decimal locale for the log tests; generated when root and missing.
tk358_ensure_test_locale() {
    if locale -a 2>/dev/null | grep -qi '^pl_PL\.utf-\?8$'; then
        return 0
    fi
    if [ "$(id -u)" -eq 0 ] && [ -f /etc/locale.gen ]; then
        sed -i 's/^# *\(pl_PL.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^pl_PL.UTF-8 UTF-8' /etc/locale.gen || echo 'pl_PL.UTF-8 UTF-8' >> /etc/locale.gen
        locale-gen >/dev/null 2>&1 || true
    fi
}
