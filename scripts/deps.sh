# Debian 12 packages the build, the tests and the demo need. Sourced by
# scripts/test and scripts/demo.

TK358_PACKAGES=(
    g++ cmake ninja-build pkg-config ccache
    clang clang-format libclang-rt-14-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
    qt6-svg-dev fonts-dejavu-core
    libudev-dev libsystemd-dev
    libmosquitto-dev mosquitto mosquitto-clients dpkg-dev openssl
    xvfb xauth desktop-file-utils locales lintian man-db
)

# Installs what is missing: as root with apt-get, otherwise prints the command and fails.
tk358_install_missing() {
    local missing=()
    local p
    for p in "${TK358_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
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
