# Installing the panel like any desktop program, and its Debian package.
#
#   bin/quorvane                 the launcher: starts the panel in the per-user
#                                folder that holds its configuration file
#   libexec/quorvane/quorvane    the panel itself
#   bin/quorvane-ctl             the module from scripts
#   share/man/man1, man5         quorvane(1), quorvane-ctl(1), crate.conf(5)
#   share/applications, share/metainfo, share/icons/hicolor
#   share/doc/quorvane/guide     the operator's guide
#   share/doc/quorvane/copyright, changelog.gz   as every Debian package has them
set(CMAKE_INSTALL_DOCDIR share/doc/quorvane)  # not the project name's capitals
include(GNUInstallDirs)
# Two packages from one build: quorvane (the panel and quorvane-ctl) and,
# where quorvane-ds is built, quorvane-tango; only the second needs Tango.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME quorvane)

install(TARGETS quorvane RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/quorvane)
# The launcher finds the panel relative to itself, so the installed tree and
# the package work at any prefix.
file(RELATIVE_PATH QUORVANE_PROGRAM_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBEXECDIR}/quorvane/quorvane)

configure_file(${CMAKE_SOURCE_DIR}/packaging/quorvane-launcher.sh.in
               ${CMAKE_BINARY_DIR}/packaging/quorvane @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/quorvane DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS quorvane-ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages and the changelog go in compressed, as Debian wants them, and
# without a time stamp, so the package is the same at every build.
function(quorvane_gzip source output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${output} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
# quorvane(1), quorvane-ctl(1) and crate.conf(5): section from the name.
foreach(page quorvane.1 quorvane-ctl.1 crate.conf.5)
  string(REGEX MATCH "[0-9]$" section ${page})
  quorvane_gzip(${CMAKE_SOURCE_DIR}/packaging/${page} ${CMAKE_BINARY_DIR}/packaging/${page}.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${page}.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

set(QUORVANE_APP_ID org.quorvane.Quorvane)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${QUORVANE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${QUORVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${QUORVANE_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/guide/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/guide)

# The licence in Debian's machine-readable form, and the package's changelog.
# The changelog's newest entry must name the version being packaged.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(changelog ${CMAKE_SOURCE_DIR}/packaging/changelog)
file(STRINGS ${changelog} changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^quorvane \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog begins with '${changelog_top}'; "
                      "its newest entry must be for version ${PROJECT_VERSION}")
endif()
quorvane_gzip(${changelog} ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "The Quorvane developers")
# The same address as in packaging/changelog.
set(CPACK_PACKAGE_CONTACT "The Quorvane developers <developers@quorvane.org>")
# Each package's description begins with its own synopsis line (below), so
# CPack is given no summary of its own to put before them.
set(QUORVANE_SUMMARY "Control panel for a TTCvi VME module and its TTCrx receivers")
string(CONCAT CPACK_PACKAGE_DESCRIPTION  # lines of at most 79 characters
    "Quorvane drives one TTCvi VME module of the Timing, Trigger and Control\n"
    "system and, over the module's B channel, the TTCrx receiver chips on the\n"
    "optical TTC network: trigger source and rate, orbit source, inhibits, the\n"
    "four B-Go channels and their FIFOs, asynchronous B-channel cycles, the TTCrx\n"
    "deskews, coarse delays and control register, and named presets. Without VME\n"
    "hardware it runs on a simulated crate.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)  # Debian ships binaries without their symbols
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The Qt libraries come from dpkg-shlibdeps; Qt loads its window-system
# plugins at run time, which no library dependency names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")

# quorvane-tango: the device server, its manual page, its systemd unit and
# the documents every Debian package has.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL quorvane)
set(CPACK_DEBIAN_QUORVANE_PACKAGE_NAME quorvane)
set(CPACK_DEBIAN_QUORVANE_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_QUORVANE_DESCRIPTION
    "${QUORVANE_SUMMARY}\n${CPACK_PACKAGE_DESCRIPTION}")
if(TARGET quorvane-ds)
  install(TARGETS quorvane-ds RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tango)
  quorvane_gzip(${CMAKE_SOURCE_DIR}/packaging/quorvane-ds.1
                ${CMAKE_BINARY_DIR}/packaging/quorvane-ds.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/quorvane-ds.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tango)
  # Debian 12 keeps the units of its packages in /lib.
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/quorvane-ds@.service
          DESTINATION /lib/systemd/system COMPONENT tango)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
          DESTINATION share/doc/quorvane-tango COMPONENT tango)
  list(APPEND CPACK_COMPONENTS_ALL tango)
  set(CPACK_DEBIAN_TANGO_PACKAGE_NAME quorvane-tango)
  set(CPACK_DEBIAN_TANGO_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_TANGO_PACKAGE_DEPENDS "")
  set(CPACK_DEBIAN_TANGO_PACKAGE_RECOMMENDS "")
  set(CPACK_DEBIAN_TANGO_PACKAGE_SUGGESTS "quorvane, python3-tango, tango-starter")
  string(CONCAT CPACK_DEBIAN_TANGO_DESCRIPTION
      "Tango device server of the Quorvane TTCvi panel\n"
      "quorvane-ds puts the TTCvi VME module of a crate into a Tango control\n"
      "system: one device of class TTCvi per module, its registers as attributes\n"
      "with change and archive events, presets, B-Go FIFOs and TTCrx registers as\n"
      "commands, sharing the panel's configuration file, crate settings, module\n"
      "lock and bus log. A systemd template unit starts one server per crate.")
endif()
include(CPack)
