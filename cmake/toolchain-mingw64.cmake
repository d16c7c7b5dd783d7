# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
# The posix thread model: GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VUV2EZ_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VUV2EZ_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VUV2EZ_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VUV2EZ_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VUV2EZ_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The tests run under Wine (scripts/wine/run.sh sets the prefix and the Japanese locale). A cache
# entry, so that -DCMAKE_CROSSCOMPILING_EMULATOR=... still wins.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine/run.sh
    CACHE STRING "Runs the Windows test programs")
