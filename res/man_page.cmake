# quarry_install_compressed(TEMPLATE FILE DESTINATION): TEMPLATE with the
# version (and whatever else is set) filled in as FILE in the build folder,
# compressed as Debian keeps manual pages and changelogs, and FILE.gz installed
# into DESTINATION.
# quarry_install_man_page(NAME): so for res/NAME.1.in, into share/man/man1.
include_guard(GLOBAL)
include(GNUInstallDirs)

function(quarry_install_compressed template file destination)
  configure_file(${template} ${file} @ONLY)
  add_custom_command(OUTPUT ${file}.gz COMMAND gzip -9nkf ${file} DEPENDS ${file} VERBATIM)
  get_filename_component(name ${file} NAME)
  string(MAKE_C_IDENTIFIER ${name} target)
  add_custom_target(${target}_gz ALL DEPENDS ${file}.gz)
  install(FILES ${file}.gz DESTINATION ${destination})
endfunction()

function(quarry_install_man_page name)
  quarry_install_compressed(${PROJECT_SOURCE_DIR}/res/${name}.1.in
                            ${PROJECT_BINARY_DIR}/man/${name}.1 ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
