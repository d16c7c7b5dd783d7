# Installing and packaging: the two programs, the README and the licence, and on Linux the manual
# pages. `cmake --install` puts them in bin/, share/doc/vuv2ez/ and share/man/man1/; `cpack -G DEB`
# in a release build makes a Debian package that declares the shared libraries the programs use
# (found by dpkg-shlibdeps: ncursesw and zlib among them) and carries the licence as Debian's
# machine-readable copyright file; the Windows build's `package` target makes a .zip holding both
# .exe files, the README, the licence, the settings file with every key 0, and OpenSubdiv's
# licence and notice when it is linked in.
if(WIN32)
  set(VUV2EZ_BIN_DIR .)
  set(VUV2EZ_DOC_DIR .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME vuv2ez-${PROJECT_VERSION}-windows-x86_64)
else()
  include(GNUInstallDirs)
  set(VUV2EZ_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(VUV2EZ_DOC_DIR ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_GENERATOR DEB)
endif()
install(TARGETS vuv2ez qzdump RUNTIME DESTINATION ${VUV2EZ_BIN_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${VUV2EZ_DOC_DIR})
if(NOT WIN32)
  # Debian's copyright file: the licence's terms under a machine-readable header, every line of
  # them indented, blank lines as " .".
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(FIND "${licence}" "Permission is hereby granted" terms)
  string(SUBSTRING "${licence}" ${terms} -1 licence)
  string(STRIP "${licence}" licence)
  string(REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REPLACE "\n" "\n " licence "${licence}")
  file(WRITE ${PROJECT_BINARY_DIR}/copyright "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: vuv2ez

Files: *
Copyright: 2026 VUV2EZ developers
License: Expat
 ${licence}
")
  install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${VUV2EZ_DOC_DIR})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)

  # The manual pages, compressed as Debian's policy asks.
  foreach(page vuv2ez.1 qzdump.1)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/docs/man/${page} > ${PROJECT_BINARY_DIR}/man/${page}.gz
      DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${page})
    list(APPEND manual_pages ${PROJECT_BINARY_DIR}/man/${page}.gz)
  endforeach()
  add_custom_target(manual_pages ALL DEPENDS ${manual_pages})
  install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  install(FILES ${VUV2EZ_SETTINGS_FILE} DESTINATION ${VUV2EZ_BIN_DIR})
  if(VUV2EZ_WITH_OPENSUBDIV)
    get_filename_component(osd_notices ${VUV2EZ_OPENSUBDIV_LICENSE} DIRECTORY)
    install(FILES ${VUV2EZ_OPENSUBDIV_LICENSE} DESTINATION ${VUV2EZ_DOC_DIR}
            RENAME OpenSubdiv-LICENSE.txt)
    install(FILES ${osd_notices}/NOTICE.txt DESTINATION ${VUV2EZ_DOC_DIR}
            RENAME OpenSubdiv-NOTICE.txt)
  endif()
endif()

set(CPACK_PACKAGE_NAME vuv2ez)
set(CPACK_PACKAGE_VENDOR "VUV2EZ")
set(CPACK_PACKAGE_CONTACT "VUV2EZ developers <vuv2ez@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Converts Metasequoia MQO models to QZ model files")
set(CPACK_PACKAGE_DESCRIPTION "Converts 3D models saved by the Metasequoia modeller as MQO text \
documents (and zipped .mqoz documents) into compact binary QZ model files, on the command line \
or in a conversion dialog drawn in the terminal; qzdump shows what a QZ file holds.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
