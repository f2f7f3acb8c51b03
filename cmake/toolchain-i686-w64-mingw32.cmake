# Windows i686, the product, with mingw-w64.
set(VEXIL_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
# Floating point on SSE2 rather than the x87 unit: every processor that runs a supported Windows
# has it, it is faster, and doubles round exactly as on x86_64 (the x87's wider intermediates
# could make a result differ in its last bit). mingw's i686 compiler realigns the stack in
# functions that need it when SSE is on, so callbacks entered from Windows with a 4-byte aligned
# stack stay safe.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
