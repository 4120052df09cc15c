# `cpack -G DEB` in a build folder makes one Debian package with both
# programs, the simulated panel, the systemd unit, the help and the icons.
# Its dependencies come from the shared libraries the programs use
# (dpkg-shlibdeps, from dpkg-dev), plus the Qt platform plugins the window
# loads at run time. Install it with `apt install ./tk358_*.deb`.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tk358)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Service and monitoring of TK-358 controller panels, with a headless MQTT logger")
set(CPACK_PACKAGE_CONTACT "tk358 maintainers <tk358@example.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
if(TK358_WITH_QT)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mosquitto, mosquitto-clients")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/resources/debian/postinst
    ${PROJECT_SOURCE_DIR}/resources/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
