# SPDX-License-Identifier: GPL-3.0-or-later
# Which files carry the licence's SPDX line, and how. Sourced by
# scripts/spdx-add and by the test that checks the sources.

TK358_SPDX_ID="SPDX-License-Identifier: GPL-3.0-or-later"

# Every file that must carry the line, one per line, relative to the top.
tk358_spdx_files() {
    find src sim tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.h.in' \)
    find . -path ./build -prune -o -path './build-*' -prune -o -path ./.git -prune -o \
        -path ./debian -prune -o -type f \( -name CMakeLists.txt -o -name '*.cmake' \
        -o -name '*.sh' \) -print | sed 's|^\./||'
    printf '%s\n' scripts/test scripts/demo scripts/fuzz scripts/spdx-add
}

# The line for one file, in its comment syntax.
tk358_spdx_line() {
    case $1 in
        *.cpp | *.h | *.h.in) echo "// $TK358_SPDX_ID" ;;
        *) echo "# $TK358_SPDX_ID" ;;
    esac
}

# True when the file carries the line first, or second after "#!".
tk358_spdx_has() {
    local line
    line=$(tk358_spdx_line "$1")
    if [[ $(head -n 1 "$1") == '#!'* ]]; then
        [[ $(sed -n 2p "$1") == "$line" ]]
    else
        [[ $(head -n 1 "$1") == "$line" ]]
    fi
}
