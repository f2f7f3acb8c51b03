# Makes package resources at build time with vxpack (run under Wine on the Windows builds) and an
# .rc script that links them into an executable.
#
# vexil_package_resources(OUT_RC
#   ID text  SETTINGS key=value...  MOVIES flags kind:file...  PICTURE w h rrggbb
#   SCRIPTS name=file...  SUPPORT file...  PLAYER target)
# PLAYER packs the file a player-control target builds as "FP" (the target may be defined later).
function(vexil_package_resources out_rc)
  cmake_parse_arguments(ARG "" "ID;PLAYER" "SETTINGS;MOVIES;PICTURE;SCRIPTS;SUPPORT" ${ARGN})
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/package")
  file(MAKE_DIRECTORY "${dir}")
  set(outputs)
  set(rc "LANGUAGE 0, 0\n")
  vexil_tool(vxpack vxpack tools/vxpack/vxpack)
  # pack(OUTPUT INPUT vxpack-arguments...): INPUT is a file the step reads ("" for none).
  macro(pack output input)
    add_custom_command(OUTPUT "${dir}/${output}" COMMAND ${vxpack} ${ARGN} DEPENDS ${vxpack} ${input} VERBATIM
                       WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND outputs "${dir}/${output}")
  endmacro()

  pack(id.bin "" id "${dir}/id.bin" "${ARG_ID}")
  pack(st.bin "" settings "${dir}/st.bin" ${ARG_SETTINGS})
  pack(st.blob "${dir}/st.bin" blob "${dir}/st.bin" "${dir}/st.blob")
  pack(cs.bin "${dir}/st.blob" stamp "${dir}/cs.bin" "${dir}/st.blob")
  pack(ml.bin "" movielist "${dir}/ml.bin" ${ARG_MOVIES})
  pack(ml.blob "${dir}/ml.bin" blob "${dir}/ml.bin" "${dir}/ml.blob")
  string(APPEND rc "ID LUMARC \"${dir}/id.bin\"\nCS LUMARC \"${dir}/cs.bin\"\n"
                   "ST LUMARC \"${dir}/st.blob\"\nML LUMARC \"${dir}/ml.blob\"\n")
  if(ARG_PICTURE)
    pack(bk.bmp "" bitmap "${dir}/bk.bmp" ${ARG_PICTURE})
    pack(bk.blob "${dir}/bk.bmp" blob "${dir}/bk.bmp" "${dir}/bk.blob")
    string(APPEND rc "BK LUMARC \"${dir}/bk.blob\"\n")
  endif()
  foreach(script ${ARG_SCRIPTS})
    string(REPLACE "=" ";" parts "${script}")
    list(GET parts 0 name)
    list(GET parts 1 file)
    if(NOT IS_ABSOLUTE "${file}")
      set(file "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
    endif()
    pack(${name}.blob "${file}" blob "${file}" "${dir}/${name}.blob")
    string(APPEND rc "${name} VEXIL \"${dir}/${name}.blob\"\n")
  endforeach()
  if(ARG_PLAYER)
    set(player "$<TARGET_FILE:${ARG_PLAYER}>")
    pack(fp.blob "${ARG_PLAYER};${player}" blob "${player}" "${dir}/fp.blob")
    string(APPEND rc "FP LUMARC \"${dir}/fp.blob\"\n")
  endif()
  set(slot 1)
  foreach(file ${ARG_SUPPORT})
    get_filename_component(file "${file}" ABSOLUTE)
    # The statement keeps the quoted name from running into the string before it (the resource
    # compiler joins adjacent strings); neutral is the language Windows tries first anyway.
    string(APPEND rc "LANGUAGE 0, 0\n\"$${slot}\" SUPPORT \"${file}\"\n")
    math(EXPR slot "${slot} + 1")
  endforeach()

  # Input files are named relative to the calling directory. The .rc is rewritten only when its
  # text changes, so unchanged packages do not relink.
  file(CONFIGURE OUTPUT "${dir}/package.rc" CONTENT "${rc}" @ONLY)
  set_source_files_properties("${dir}/package.rc" PROPERTIES OBJECT_DEPENDS "${outputs}")
  set(${out_rc} "${dir}/package.rc" PARENT_SCOPE)
endfunction()
