# Installation (cmake --install) and the Debian package (cpack -G DEB), in the usual places of
# GNUInstallDirs under the prefix:
#   bin/kestrel, bin/kestrel-cli
#   share/applications/kestrel.desktop, share/icons/hicolor/scalable/apps/kestrel.svg
#   share/kestrel/help/ (the help guide the Help command opens)
#   share/man/man1/kestrel.1.gz, kestrel-cli.1.gz
#   share/bash-completion/completions/kestrel-cli (loaded by bash-completion)
#   share/doc/kestrel/ (copyright, changelog.gz, examples/virtual-printers.ini)
# Other programs of the project add their own rules beside these.
include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS kestrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET kestrel)
  install(TARGETS kestrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/resources/kestrel.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/160.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME kestrel.svg)
endif()
if(KESTREL_DOCS)
  install(DIRECTORY ${KESTREL_HELP_BUILD_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrel/help
    FILES_MATCHING PATTERN "*.html" PATTERN "*.css" PATTERN "*.png")
  install(FILES ${KESTREL_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/resources/completion/kestrel-cli.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kestrel-cli)

# Debian wants the copyright file and a compressed changelog in the package's doc folder
# (gzip: Debian package gzip).
find_program(KESTREL_GZIP gzip REQUIRED)
configure_file(${CMAKE_SOURCE_DIR}/resources/debian/changelog.in
  ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND ${KESTREL_GZIP} -9nkf ${CMAKE_BINARY_DIR}/debian/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog
  VERBATIM)
add_custom_target(kestrel_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright
  ${CMAKE_BINARY_DIR}/debian/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/virtual-printers.ini
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# The package: kestrel_<version>_<arch>.deb. Its dependencies are the libraries the programs
# link, found by dpkg-shlibdeps (Debian package dpkg-dev); Qt's X11 platform plugin comes with
# libqt6gui6.
set(KESTREL_PACKAGE_MAINTAINER
  "KESTREL maintainers <maintainers@users.noreply.c-seed-36aa2d75.example>"
  CACHE STRING "Maintainer field of the Debian package")
set(KESTREL_PACKAGE_HOMEPAGE "" CACHE STRING "Homepage field of the Debian package (none if empty)")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VENDOR "The KESTREL developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration of KR-900, KR-700 and KR-500 receipt printers")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KESTREL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(KESTREL_PACKAGE_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KESTREL_PACKAGE_HOMEPAGE})
endif()
# The long description, under the summary line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "KESTREL sets up the KR-900, KR-700 and KR-500 thermal receipt printers
through their CUPS print queue: it checks the queue, edits the printer's
non-volatile settings and sends them as one raw job, prints the settings
list, returns the printer to its factory settings, keeps settings files,
registers logos from BMP files and keeps the serial line of the queue in
step with the printer.
.
The package holds the windowed program kestrel (Qt 6), the command-line
tool kestrel-cli for scripts, their manual pages, bash completion and an
HTML help guide.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
