# quarry_install_man_page(NAME): res/NAME.1.in with the version filled in,
# compressed as Debian keeps manual pages, installed into share/man/man1.
include_guard(GLOBAL)
include(GNUInstallDirs)

function(quarry_install_man_page name)
  set(page ${PROJECT_BINARY_DIR}/man/${name}.1)
  configure_file(${PROJECT_SOURCE_DIR}/res/${name}.1.in ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz COMMAND gzip -9nkf ${page} DEPENDS ${page} VERBATIM)
  add_custom_target(${name}_man_page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
