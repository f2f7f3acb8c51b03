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

# Adds each listed sub-directory. A listed folder without a CMakeLists.txt is a configure error:
# a folder is listed when it is written, so a missing one is a mistake, not a plan.
function(vexil_add_subdirectories)
  foreach(dir ${ARGN})
    if(NOT EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}: the listed folder '${dir}' has no CMakeLists.txt")
    endif()
    add_subdirectory(${dir})
  endforeach()
endfunction()

# vexil_add_script_tests(NAME DIR [LINE_ENDS_IGNORED] [GC_STRESS] [ARGS arg...] [LABELS label...])
# Registers every DIR/*.vxs as the CTest NAME.<script>: the script runner (under Wine in the
# Windows builds) runs it in a fresh directory of its own, and its standard output must equal
# DIR/<script>.expected byte for byte (or DIR/<script>.out). With LINE_ENDS_IGNORED, CR LF and LF
# compare equal. When DIR/<script>.stderr exists the run must fail (exit status 1) with exactly that
# on standard error; otherwise it must succeed. The script's path reads SCRIPT in both outputs. ARGS follow
# the script on the runner's command line (the script's `arguments`); LABELS are added to the tests'.
# With GC_STRESS each script runs a second time as NAME_gc_stress.<script>, the collector running at
# every collection point.
set(VEXIL_SCRIPT_TEST_DRIVER "${CMAKE_BINARY_DIR}/vexil_script_test.cmake")
file(WRITE "${VEXIL_SCRIPT_TEST_DRIVER}" [==[
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}")
string(REPLACE "|" ";" script_args "${ARGS}")
execute_process(COMMAND ${emulator} "${RUNNER}" "${SCRIPT}" ${script_args} WORKING_DIRECTORY "${WORKDIR}"
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
file(READ "${EXPECTED}" expected)
set(expected_err "")
set(expected_status 0)
if(EXISTS "${EXPECTED_STDERR}")
  file(READ "${EXPECTED_STDERR}" expected_err)
  set(expected_status 1)
endif()
if(LINE_ENDS_IGNORED)
  string(REPLACE "\r\n" "\n" out "${out}")
  string(REPLACE "\r\n" "\n" expected "${expected}")
endif()
string(REPLACE "\r\n" "\n" err "${err}")
string(REPLACE "${SCRIPT}" "SCRIPT" err "${err}")
string(REPLACE "${SCRIPT}" "SCRIPT" out "${out}")
set(failed FALSE)
if(NOT out STREQUAL expected)
  message("standard output differs.\n--- expected\n${expected}--- got\n${out}---")
  set(failed TRUE)
endif()
if(NOT status STREQUAL expected_status)
  message("exit status ${status}, expected ${expected_status}; standard error:\n${err}")
  set(failed TRUE)
elseif(expected_status AND NOT err STREQUAL expected_err)
  message("standard error differs.\n--- expected\n${expected_err}--- got\n${err}---")
  set(failed TRUE)
endif()
if(failed)
  message(FATAL_ERROR "${SCRIPT}")
endif()
]==])

function(vexil_add_script_tests name dir)
  cmake_parse_arguments(ARG "LINE_ENDS_IGNORED;GC_STRESS" "" "ARGS;LABELS" ${ARGN})
  if(NOT TARGET vexil)
    return()
  endif()
  file(GLOB scripts CONFIGURE_DEPENDS "${dir}/*.vxs")
  string(REPLACE ";" "|" emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
  if(VEXIL_WINDOWS)
    set(labels script wine)
  else()
    set(labels script native)
  endif()
  list(APPEND labels ${ARG_LABELS})
  string(REPLACE ";" "|" script_args "${ARG_ARGS}")
  foreach(script ${scripts})
    get_filename_component(base "${script}" NAME_WE)
    set(expected "${dir}/${base}.expected")
    if(NOT EXISTS "${expected}")
      set(expected "${dir}/${base}.out")
    endif()
    set(variants ${name})
    if(ARG_GC_STRESS)
      list(APPEND variants ${name}_gc_stress)
    endif()
    foreach(variant ${variants})
      set(workdir "${CMAKE_CURRENT_BINARY_DIR}/script-tests/${base}")
      if(NOT variant STREQUAL name)
        set(workdir "${CMAKE_CURRENT_BINARY_DIR}/script-tests/gc-stress/${base}")
      endif()
      add_test(NAME ${variant}.${base}
        COMMAND ${CMAKE_COMMAND} -DRUNNER=$<TARGET_FILE:vexil> "-DEMULATOR=${emulator}" -DSCRIPT=${script}
                -DEXPECTED=${expected} -DEXPECTED_STDERR=${dir}/${base}.stderr "-DARGS=${script_args}"
                -DWORKDIR=${workdir}
                -DLINE_ENDS_IGNORED=${ARG_LINE_ENDS_IGNORED} -P ${VEXIL_SCRIPT_TEST_DRIVER})
      set_tests_properties(${variant}.${base} PROPERTIES TIMEOUT 120 LABELS "${labels}")
    endforeach()
    if(ARG_GC_STRESS)
      set_tests_properties(${name}_gc_stress.${base} PROPERTIES ENVIRONMENT "VEXIL_GC_STRESS=1"
                           LABELS "${labels};gc-stress")
    endif()
  endforeach()
endfunction()
