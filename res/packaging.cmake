# `cpack -G DEB` in the build folder makes a Debian package of what
# `cmake --install` puts in place: the programs, the desktop entry and
# metainfo, the icons and the manual pages. dpkg-shlibdeps works out the
# libraries it depends on.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarry)
set(CPACK_PACKAGE_CONTACT "quarry developers <quarry@localhost>")
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
include(CPack)
