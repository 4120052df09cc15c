# SPDX-License-Identifier: GPL-3.0-or-later
# A quick local package for a test machine; the packages to distribute are
# built from debian/ with dpkg-buildpackage.
# `cpack -G DEB` in a build folder makes one Debian package with both
# programs, the simulated panel, the systemd unit, the help, the manual
# pages, the shell completion and the icons; lintian finds nothing to report
# on it. Its dependencies come from the shared libraries the programs use
# (dpkg-shlibdeps, from dpkg-dev), plus what is loaded at run time (the Qt
# platform plugins and Qt's Polish texts) and what the maintainer scripts
# call (adduser where systemd-sysusers is missing). Install it with
# `apt install ./tk358_*.deb`.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tk358)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Service and monitoring of TK-358 controller panels, with a headless MQTT logger")
set(CPACK_PACKAGE_DESCRIPTION
    "tk358 is a desktop program (Qt 6, Polish user interface) for the service and
monitoring of the TK-358 family of controller panels attached over a serial
line: it finds and identifies the panel, shows its live state and a trend
chart, changes its parameters safely, backs them up to a file and logs
readings to a text or CSV file.

tk358d logs one panel without a window, to the same log file format and to
an MQTT broker (with Home Assistant discovery); the systemd unit
tk358d@.service runs one instance per serial line. tk358-sim is a simulated
panel on a pseudo-terminal for trying both out without hardware.")
set(CPACK_PACKAGE_CONTACT "tk358 maintainers <tk358@example.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
if(TK358_WITH_QT)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, qt6-qpa-plugins, qt6-translations-l10n")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser")
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mosquitto, mosquitto-clients")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/resources/debian/postinst
    ${PROJECT_SOURCE_DIR}/resources/debian/prerm
    ${PROJECT_SOURCE_DIR}/resources/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
