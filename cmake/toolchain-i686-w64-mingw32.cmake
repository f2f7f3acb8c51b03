# Cross build for Windows i686 with mingw-w64. The posix threading variant gives std::thread and
# std::mutex; everything is linked statically (see VexilOptions.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VEXIL_MINGW_TRIPLE i686-w64-mingw32)

set(CMAKE_C_COMPILER   ${VEXIL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEXIL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VEXIL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VEXIL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Prefer the static zlib over its import library.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
