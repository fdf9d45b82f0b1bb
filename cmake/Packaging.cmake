# Installation layout and the Debian package (`make package`, CPack DEB).
include(GNUInstallDirs)

install(TARGETS pellam-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET pellam)
  install(TARGETS pellam RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/pellam.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/pellam.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
file(GLOB pellam_udev_rules ${PROJECT_SOURCE_DIR}/packaging/udev/*.rules)
install(FILES ${pellam_udev_rules} DESTINATION lib/udev/rules.d)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/modules-load.d/pellam-i2c-dev.conf
        DESTINATION lib/modules-load.d)

# Manual pages from each program's --help and --version, and the Debian
# changelog, compressed as Debian wants them (no time stamp in the archive).
set(pellam_doc_dir ${CMAKE_BINARY_DIR}/packaging)
find_program(HELP2MAN help2man)
find_program(GZIP gzip REQUIRED)
set(pellam_man_pages)
if(HELP2MAN)
  set(pellam_programs pellam-cli)
  if(TARGET pellam)
    list(APPEND pellam_programs pellam)
  endif()
  foreach(program IN LISTS pellam_programs)
    if(program STREQUAL "pellam")
      set(summary "EDID editor, compliance analyser and programmer")
    else()
      set(summary "analyse, convert, edit and program EDIDs from scripts")
    endif()
    add_custom_command(
      OUTPUT ${pellam_doc_dir}/${program}.1.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${pellam_doc_dir}
      COMMAND ${HELP2MAN} --no-info --no-discard-stderr --name=${summary}
              --output=${pellam_doc_dir}/${program}.1 $<TARGET_FILE:${program}>
      COMMAND ${GZIP} -9nf ${pellam_doc_dir}/${program}.1
      DEPENDS ${program}
      VERBATIM)
    list(APPEND pellam_man_pages ${pellam_doc_dir}/${program}.1.gz)
  endforeach()
  install(FILES ${pellam_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${pellam_doc_dir}/changelog @ONLY)
add_custom_command(
  OUTPUT ${pellam_doc_dir}/changelog.gz
  COMMAND ${GZIP} -9nkf ${pellam_doc_dir}/changelog
  DEPENDS ${pellam_doc_dir}/changelog
  VERBATIM)
add_custom_target(pellam_package_docs ALL DEPENDS ${pellam_man_pages} ${pellam_doc_dir}/changelog.gz)
install(FILES ${pellam_doc_dir}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pellam)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellam)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Pellam developers <pellam-dev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "EDID editor, compliance analyser and programmer")
set(CPACK_PACKAGE_DESCRIPTION
    "Pellam composes and fixes the 128- or 256-byte EDID of HDMI and DisplayPort\n\
sinks field by field, checks it against the sink EDID items of the HDMI\n\
compliance test, and reads, writes, verifies and compares the sink's EDID\n\
EEPROM over I2C. pellam-cli does the same from scripts and CI jobs.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/pellam")
include(CPack)
