# Installing and packaging: the three programs, the desktop launcher and the icon (man/ installs the
# manual pages); CPack turns the installed tree into a Debian package (cpack -G DEB in the build
# folder).
include(GNUInstallDirs)

install(TARGETS hddterm hddterm-cli hddsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(HDDTERM_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

install(FILES ${HDDTERM_PACKAGING_DIR}/hddterm.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${HDDTERM_PACKAGING_DIR}/icons/hddterm.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${HDDTERM_PACKAGING_DIR}/icons/hddterm.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hddterm)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "hddterm maintainers <maintainers@hddterm.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service console for the diagnostic serial terminal of hard-disk drives")
set(CPACK_PACKAGE_DESCRIPTION
    "hddterm works a drive firmware's monitor over a serial line: a console with a command line,\n"
    "one-click keys for the monitor's control characters and commands, and one-key operations that\n"
    "move buffer memory, system-area tracks and firmware modules to and from files. It comes with\n"
    "hddterm-cli, the same window model without widgets, and hddsim, a simulated drive monitor.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; Qt's Chinese texts and a font that
# draws Chinese are named here, since no program links them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-wqy-zenhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xvfb")
include(CPack)
