# IDL compiled with widl (mingw-w64-tools) for the Windows builds: type libraries, and for servers
# written here their header and interface ids.
#
# widl must target the build's pointer size (-m32/-m64), or a type library carries the wrong
# SYSKIND and pointer sizes. Debian ships no oaidl.idl, so cmake/idl/ holds a stand-in declaring
# what widl needs; IUnknown and IDispatch come from importlib("stdole2.tlb"), which widl reads from
# Wine's copy (only names and GUIDs, so either Wine build of it will do).
if(NOT VEXIL_WINDOWS)
  return()
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(vexil_widl_arch i686)
  set(vexil_widl_target -m32)
else()
  set(vexil_widl_arch x86_64)
  set(vexil_widl_target -m64)
endif()
find_program(VEXIL_WIDL ${vexil_widl_arch}-w64-mingw32-widl REQUIRED)
find_file(VEXIL_STDOLE2_TLB stdole2.tlb
  PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows
        /usr/lib/wine/x86_64-windows /usr/lib/wine/i386-windows
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
get_filename_component(vexil_stdole2_dir "${VEXIL_STDOLE2_TLB}" DIRECTORY)

# vexil_widl(IDL TLB path [HEADER path] [IIDS path])
# Adds the command that writes the type library (and the header and interface ids when asked).
function(vexil_widl idl)
  cmake_parse_arguments(ARG "" "TLB;HEADER;IIDS" "" ${ARGN})
  set(widl ${VEXIL_WIDL} ${vexil_widl_target} -I "${PROJECT_SOURCE_DIR}/cmake/idl" -L "${vexil_stdole2_dir}")
  set(outputs "${ARG_TLB}")
  set(commands COMMAND ${widl} -t -o "${ARG_TLB}" "${idl}")
  if(ARG_HEADER)
    list(APPEND outputs "${ARG_HEADER}")
    list(APPEND commands COMMAND ${widl} -h -o "${ARG_HEADER}" "${idl}")
  endif()
  if(ARG_IIDS)
    list(APPEND outputs "${ARG_IIDS}")
    list(APPEND commands COMMAND ${widl} -u -o "${ARG_IIDS}" "${idl}")
  endif()
  get_filename_component(out_dir "${ARG_TLB}" DIRECTORY)
  get_filename_component(name "${idl}" NAME)
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out_dir}"
    ${commands}
    DEPENDS "${idl}" "${PROJECT_SOURCE_DIR}/cmake/idl/oaidl.idl"
    COMMENT "widl: ${name}"
    VERBATIM)
endfunction()
