# Windows i686, the product, with mingw-w64.
set(VEXIL_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
