# Installing the panel like any desktop program, and its Debian package.
#
#   bin/quorvane                 the launcher: starts the panel in the per-user
#                                folder that holds its configuration file
#   libexec/quorvane/quorvane    the panel itself
#   bin/quorvane-ctl             the module from scripts, with its manual page
#   share/applications, share/metainfo, share/icons/hicolor
#   share/doc/quorvane/guide     the operator's guide
set(CMAKE_INSTALL_DOCDIR share/doc/quorvane)  # not the project name's capitals
include(GNUInstallDirs)

install(TARGETS quorvane RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/quorvane)
# The launcher finds the panel relative to itself, so the installed tree and
# the package work at any prefix.
file(RELATIVE_PATH QUORVANE_PROGRAM_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBEXECDIR}/quorvane/quorvane)

configure_file(${CMAKE_SOURCE_DIR}/packaging/quorvane-launcher.sh.in
               ${CMAKE_BINARY_DIR}/packaging/quorvane @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/quorvane DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS quorvane-ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/quorvane-ctl.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(QUORVANE_APP_ID org.quorvane.Quorvane)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${QUORVANE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${QUORVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${QUORVANE_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/guide/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/guide)

set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "Quorvane developers")
set(CPACK_PACKAGE_CONTACT "Quorvane developers <quorvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control panel for a TTCvi VME module and its TTCrx receivers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The Qt libraries come from dpkg-shlibdeps; Qt loads its window-system
# plugins at run time, which no library dependency names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
