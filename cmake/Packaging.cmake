# Installing and packaging: the two programs and the README. `cmake --install` puts them in bin/
# and share/doc/vuv2ez/; `cpack -G DEB` in a release build makes a Debian package that declares
# the shared libraries the programs use (found by dpkg-shlibdeps: ncursesw and zlib among them);
# the Windows build's `package` target makes a .zip holding both .exe files, the README, the
# settings file with every key 0, and OpenSubdiv's licence and notice when it is linked in.
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
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${VUV2EZ_DOC_DIR})
if(WIN32)
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
