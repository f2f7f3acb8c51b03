# Cross build for Windows with mingw-w64, included by the per-architecture toolchain files after
# they set VEXIL_MINGW_ARCH. The posix threading variant gives std::thread and std::mutex;
# everything is linked statically (see VexilOptions.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VEXIL_MINGW_ARCH})
set(VEXIL_MINGW_TRIPLE ${VEXIL_MINGW_ARCH}-w64-mingw32)

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
