# Test registration shared by every directory. Windows test executables run under Wine through the
# cross-compiling emulator, so one `ctest` runs native and Windows tests alike.

if(VEXIL_TESTS)
  enable_testing()
endif()

if(VEXIL_WINDOWS)
  # Both Windows builds share one prefix beside their build directories; it is created on first use.
  set(VEXIL_WINEPREFIX "${CMAKE_BINARY_DIR}/../wineprefix" CACHE PATH "Wine prefix for the tests")
  get_filename_component(VEXIL_WINEPREFIX "${VEXIL_WINEPREFIX}" ABSOLUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/tools/wine-run.sh;--prefix;${VEXIL_WINEPREFIX}")
endif()

# Where test data that is not ours lives (read in place, never copied into the project).
set(VEXIL_CORPUS_DIR "${PROJECT_SOURCE_DIR}/../shared/corpus" CACHE PATH "Outside test corpora")

# vexil_add_gtest(NAME SOURCES src... [LIBS lib...] [LABELS label...] [GC_STRESS])
# Builds one GoogleTest executable and registers it as one CTest test. With GC_STRESS the suite is
# registered a second time as NAME_gc_stress, with the collector running at every collection
# point, to flush out values that native code holds without rooting them.
function(vexil_add_gtest name)
  cmake_parse_arguments(ARG "GC_STRESS" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  vexil_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    VEXIL_CORPUS_DIR="${VEXIL_CORPUS_DIR}" VEXIL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set(labels ${ARG_LABELS})
  if(VEXIL_WINDOWS)
    list(APPEND labels wine)
  else()
    list(APPEND labels native)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS "${labels}")
  if(ARG_GC_STRESS)
    add_test(NAME ${name}_gc_stress COMMAND ${name})
    set_tests_properties(${name}_gc_stress PROPERTIES ENVIRONMENT "VEXIL_GC_STRESS=1" TIMEOUT 600
                         LABELS "${labels};gc-stress")
  endif()
endfunction()

# Adds each listed sub-directory that has a CMakeLists.txt, so subsystems can appear one at a time.
function(vexil_add_subdirectories)
  foreach(dir ${ARGN})
    if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
