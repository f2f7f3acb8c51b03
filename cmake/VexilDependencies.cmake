# zlib, Boost (headers only) and GoogleTest, found the same way for the native and the Windows builds.

# The static library, so that the programs we ship (and the native runner) carry their own copy.
set(ZLIB_USE_STATIC_LIBS ON)
if(ZLIB_LIBRARY_RELEASE MATCHES "\\.so$")
  unset(ZLIB_LIBRARY_RELEASE CACHE)  # found by an older configure of this build directory
endif()
find_package(ZLIB REQUIRED)

# mingw must not search /usr/include (it would pull in glibc headers), so Boost is reached through a
# directory that holds only a link to the Boost headers.
set(VEXIL_BOOST_ROOT "/usr/include/boost" CACHE PATH "Boost header directory")
set(VEXIL_BOOST_INCLUDE "${CMAKE_BINARY_DIR}/boost-include")
file(MAKE_DIRECTORY "${VEXIL_BOOST_INCLUDE}")
file(CREATE_LINK "${VEXIL_BOOST_ROOT}" "${VEXIL_BOOST_INCLUDE}/boost" SYMBOLIC)
add_library(vexil_boost INTERFACE)
target_include_directories(vexil_boost SYSTEM INTERFACE "${VEXIL_BOOST_INCLUDE}")

if(VEXIL_TESTS)
  if(VEXIL_WINDOWS)
    # Debian ships GoogleTest as source for other targets: build it once per Windows build.
    set(VEXIL_GTEST_SRC "/usr/src/googletest/googletest" CACHE PATH "GoogleTest source")
    add_library(vexil_gtest STATIC "${VEXIL_GTEST_SRC}/src/gtest-all.cc")
    target_include_directories(vexil_gtest SYSTEM PUBLIC "${VEXIL_GTEST_SRC}/include"
                               PRIVATE "${VEXIL_GTEST_SRC}")
    add_library(vexil_gtest_main STATIC "${VEXIL_GTEST_SRC}/src/gtest_main.cc")
    target_link_libraries(vexil_gtest_main PUBLIC vexil_gtest)
    add_library(GTest::gtest ALIAS vexil_gtest)
    add_library(GTest::gtest_main ALIAS vexil_gtest_main)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()
