# Cross-building the programs for 64-bit Windows with Debian's mingw-w64
# (package g++-mingw-w64-x86-64-posix). Everything is linked statically, so
# the .exe files run on any Windows without the compiler's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALVO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TALVO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALVO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TALVO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALVO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# zlib (Debian's libz-mingw-w64-dev) from its static library, not zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
