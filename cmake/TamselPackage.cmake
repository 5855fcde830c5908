# The Debian package of what packaging/ installs, made by scripts/package.sh
# with cpack. Dependencies come from the binaries themselves (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamsel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Pellmark)
set(CPACK_PACKAGE_CONTACT "Tamsel developers <tamsel@pellmark.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial line monitor for serial devices and the Orvane bus")
set(CPACK_PACKAGE_DESCRIPTION
    "Tamsel shows what arrives on one serial port in a report window, converted
to text, and sends what is typed into its command line, converted to bytes.
Five conversions serve each direction: raw text, hexadecimal text, binary
bytes written as hexadecimal pairs, and the Orvane 1.0 and 1.1 bus protocols,
whose command language is encoded into packets and whose received packets
are checked and decoded into one report line each.

The port, its rate, the conversions, local echo and the display of received
data are chosen from menus and a setup dialog and kept in a per-user settings
profile; menus come in English and Japanese. A headless mode runs scripted
sessions from standard input, and a demo mode and the orvane-sim tool
simulate an Orvane bus on a pseudo-terminal when no hardware is at hand.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TAMSEL_PROJECT_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_OBJCOPY_PROGRAM ${CMAKE_OBJCOPY})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/TamselStripNotes.cmake)
include(CPack)
