# Installation layout and the two Debian packages of one build (`make
# package`, CPack DEB with components):
#   pellam-cli  the headless tool, the udev rules and the i2c-dev loader; no Qt
#   pellam      the editor; depends on the exact pellam-cli, the Qt platform
#               plugins and a CJK font (the window's captions are Chinese)
include(GNUInstallDirs)

# The binaries the packages ship are hardened the way Debian builds its own:
# stack protector, fortified libc calls, read-only relocations resolved at
# start-up (bindnow). Sanitizer builds keep their own flags, and
# _FORTIFY_SOURCE needs an optimised build.
if(NOT PELLAM_SANITIZE AND NOT PELLAM_FUZZ)
  target_compile_options(pellam_options INTERFACE
    -fstack-protector-strong -fstack-clash-protection -fcf-protection
    $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>)
  target_link_options(pellam_options INTERFACE -Wl,-z,relro -Wl,-z,now)
endif()

# The Debian version of the packages; the editor depends on exactly this
# version of pellam-cli.
set(pellam_deb_version ${PROJECT_VERSION})

install(TARGETS pellam-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
# Where udev and systemd-modules-load of Debian 12 read the packaged rules
# and module lists.
file(GLOB pellam_udev_rules ${PROJECT_SOURCE_DIR}/packaging/udev/*.rules)
install(FILES ${pellam_udev_rules} DESTINATION /lib/udev/rules.d COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/modules-load.d/pellam-i2c-dev.conf
        DESTINATION /lib/modules-load.d COMPONENT cli)
# Software centres offer the package for the USB adapter the rules are for.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.example.pellam.cli.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT cli)
if(TARGET pellam)
  install(TARGETS pellam RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT gui)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/pellam.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT gui)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/pellam.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT gui)
endif()

# The manual pages (written by hand in packaging/man, checked against --help
# by the tests) and the Debian changelog, compressed as Debian wants them (no
# time stamp in the archive); each package has its own copy of the
# changelog and the copyright file.
set(pellam_doc_dir ${CMAKE_BINARY_DIR}/packaging)
find_program(GZIP gzip REQUIRED)
set(pellam_components cli)
set(pellam_package_cli pellam-cli)
set(pellam_package_gui pellam)
if(TARGET pellam)
  list(APPEND pellam_components gui)
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${pellam_doc_dir}/changelog @ONLY)
set(pellam_doc_outputs ${pellam_doc_dir}/changelog.gz)
add_custom_command(
  OUTPUT ${pellam_doc_dir}/changelog.gz
  COMMAND ${GZIP} -9nkf ${pellam_doc_dir}/changelog
  DEPENDS ${pellam_doc_dir}/changelog
  VERBATIM)
foreach(component IN LISTS pellam_components)
  set(program ${pellam_package_${component}})
  add_custom_command(
    OUTPUT ${pellam_doc_dir}/${program}.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${pellam_doc_dir}
    COMMAND ${GZIP} -9nc ${PROJECT_SOURCE_DIR}/packaging/man/${program}.1
            > ${pellam_doc_dir}/${program}.1.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/man/${program}.1
    VERBATIM)
  list(APPEND pellam_doc_outputs ${pellam_doc_dir}/${program}.1.gz)
  install(FILES ${pellam_doc_dir}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT ${component})
  install(FILES ${pellam_doc_dir}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${program} COMPONENT ${component})
endforeach()
add_custom_target(pellam_package_docs ALL DEPENDS ${pellam_doc_outputs})

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${pellam_components})
set(CPACK_PACKAGE_NAME pellam)
set(CPACK_PACKAGE_VERSION ${pellam_deb_version})
set(CPACK_PACKAGE_CONTACT "The Pellam developers <pellam-dev@example.org>")
# Each package's first description line is its own summary, not the project's.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/pellam")
# Each package depends on the libraries its own binaries link, found by
# dpkg-shlibdeps: pellam-cli on the C and C++ runtimes and libftdi1 only.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_CLI_PACKAGE_NAME pellam-cli)
set(CPACK_DEBIAN_CLI_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_CLI_DESCRIPTION "EDID analyser, converter, editor and programmer for scripts
pellam-cli checks the EDID of HDMI and DisplayPort sinks against the sink
EDID items of the HDMI compliance test (text, JSON or JUnit reports for CI),
converts EDID files between binary and hex text, stamps serial numbers,
dates and names into them, and reads, writes and verifies a sink's EDID
EEPROM over I2C (USB adapter, parallel or serial port, or the graphics
card's own DDC lines). It needs no display and no graphical toolkit.
.
The package also installs the udev rule that gives the user at the seat
the USB adapter, and loads i2c-dev at every start (the DDC buses are
reached through the i2c group).")
# After installation the rules and the module take effect at once.
set(CPACK_DEBIAN_CLI_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_CLI_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

set(CPACK_DEBIAN_GUI_PACKAGE_NAME pellam)
set(CPACK_DEBIAN_GUI_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_GUI_DESCRIPTION "EDID editor, compliance analyser and programmer
Pellam composes and fixes the EDID of HDMI and DisplayPort sinks field by
field in a Qt window, checks it against the sink EDID items of the HDMI
compliance test, and reads, writes, verifies and compares the sink's EDID
EEPROM over I2C. Its captions are Chinese, hence the CJK font.")
# The window needs Qt's platform plugins (xcb, wayland) and a CJK font;
# without the font every Chinese caption is a box.
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS
    "pellam-cli (= ${pellam_deb_version}), qt6-qpa-plugins, fonts-noto-cjk | fonts-wqy-microhei")
include(CPack)
