# `cpack -G DEB` in the build folder makes a Debian package of what
# `cmake --install` puts in place: the programs, the desktop entry and
# metainfo, the icons, the manual pages, the changelog and the copyright file.
# dpkg-shlibdeps works out the libraries it depends on. lintian passes it
# without an error or a warning (tests/ui/debian_package_test.sh).
include(man_page.cmake)

# No person and no company: the project's own address, on a name reserved for
# addresses that reach no one.
set(QUARRY_MAINTAINER "quarry developers <developers@quarry.invalid>")
# The release's date as Debian's changelog writes dates.
execute_process(COMMAND date -u -R -d ${QUARRY_RELEASE_DATE}
                OUTPUT_VARIABLE QUARRY_RELEASE_TIME OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
quarry_install_compressed(${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog.in
                          ${PROJECT_BINARY_DIR}/doc/changelog ${CMAKE_INSTALL_DOCDIR})
configure_file(debian/copyright.in ${PROJECT_BINARY_DIR}/doc/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/doc/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarry)
set(CPACK_PACKAGE_CONTACT "${QUARRY_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "browser for the item database file of an online role-playing game")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "quarry imports the file of item records a game's players export, files"
  "every item into a category tree (item type, equipment slot, weapon skill,"
  "nano programs, perks) and shows the item chosen as a formatted report."
  "quarry-cli gives the same views to scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's platform plugins (xcb, wayland, offscreen) are only recommended
# by libqt6gui6; installed without recommends, the window could not start.
# dpkg-shlibdeps adds the libraries to this.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)
