# Build-time generators (vxpack, vexilc and the movie writers) are programs of the build itself; in
# the Windows builds they run as Windows programs under Wine. VEXIL_HOST_TOOLS names a native build
# directory of the same tree instead, whose copies run directly: the only way on a machine that
# cannot run the target's programs (tools/runs-32bit.sh), and faster anywhere.
set(VEXIL_HOST_TOOLS "" CACHE PATH "Native build directory whose generators the Windows builds run")

# vexil_tool(VAR TARGET PATH): VAR becomes the command and the dependency of a build step that runs
# TARGET: the target itself, or PATH (relative to the native build directory) with host tools.
function(vexil_tool var target path)
  if(VEXIL_WINDOWS AND VEXIL_HOST_TOOLS)
    set(${var} "${VEXIL_HOST_TOOLS}/${path}" PARENT_SCOPE)
  else()
    set(${var} ${target} PARENT_SCOPE)
  endif()
endfunction()
