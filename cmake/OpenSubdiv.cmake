# OpenSubdiv's Far API (resting on Sdc and Vtr) as one target to link, OpenSubdiv::far: on Windows
# the static library scripts/build-opensubdiv-mingw.sh cross-builds from Debian's source package
# into VUV2EZ_OPENSUBDIV_PREFIX (the windows preset names build/opensubdiv-mingw), elsewhere
# Debian's libosdCPU (libosd-dev; its own CMake files name a static library it does not ship).
# VUV2EZ_WITH_OPENSUBDIV says whether it was found; VUV2EZ_OPENSUBDIV_LICENSE is its licence text,
# shipped beside the Windows program.
if(WIN32)
  set(VUV2EZ_OPENSUBDIV_PREFIX "" CACHE PATH
      "Where scripts/build-opensubdiv-mingw.sh installed OpenSubdiv for MinGW-w64")
  set(osd_library ${VUV2EZ_OPENSUBDIV_PREFIX}/lib/libosdFarSdcVtr.a)
  set(osd_include ${VUV2EZ_OPENSUBDIV_PREFIX}/include)
  set(VUV2EZ_OPENSUBDIV_LICENSE ${VUV2EZ_OPENSUBDIV_PREFIX}/share/opensubdiv/LICENSE.txt)
  if(VUV2EZ_OPENSUBDIV_PREFIX AND EXISTS ${osd_library} AND EXISTS ${VUV2EZ_OPENSUBDIV_LICENSE})
    add_library(OpenSubdiv::far STATIC IMPORTED)
    # Its headers use M_PI, which MinGW's <cmath> declares only when asked for, as on Windows.
    set_target_properties(OpenSubdiv::far PROPERTIES INTERFACE_COMPILE_DEFINITIONS _USE_MATH_DEFINES)
  endif()
else()
  find_library(VUV2EZ_OPENSUBDIV_LIBRARY osdCPU)
  find_path(VUV2EZ_OPENSUBDIV_INCLUDE opensubdiv/far/topologyRefiner.h)
  set(osd_library ${VUV2EZ_OPENSUBDIV_LIBRARY})
  set(osd_include ${VUV2EZ_OPENSUBDIV_INCLUDE})
  if(VUV2EZ_OPENSUBDIV_LIBRARY AND VUV2EZ_OPENSUBDIV_INCLUDE)
    add_library(OpenSubdiv::far SHARED IMPORTED)
  endif()
endif()

if(TARGET OpenSubdiv::far)
  set_target_properties(OpenSubdiv::far PROPERTIES
    IMPORTED_LOCATION ${osd_library} INTERFACE_INCLUDE_DIRECTORIES ${osd_include})
  set(VUV2EZ_WITH_OPENSUBDIV ON)
  message(STATUS "OpenSubdiv: ${osd_library}")
else()
  set(VUV2EZ_WITH_OPENSUBDIV OFF)
  message(STATUS "OpenSubdiv: not found, subdivision left out "
                 "(Windows: scripts/build-opensubdiv-mingw.sh builds it)")
endif()
unset(osd_library)
unset(osd_include)
