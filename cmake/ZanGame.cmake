# zan_game_data(TARGET <target> SOURCE_DIR <dir> OUTPUT_DIR <dir>
#               [GENERATED_DIR <dir> GENERATED_STAMP <file> GENERATED_BY <target>])
#
# Packs a game's source folder into a game folder of archives. Each subfolder of the
# sources goes to one archive (its files at any depth; names must be unique in it):
#
#   msg/ -> msg.arc   gra/ -> gra.arc   snd/ -> snd.arc   dat/ -> dat.arc
#   system/ -> system.arc   gra2/ -> gra2.arc (only when the folder exists)
#
# Text files (.txt, .csv, .lib) are UTF-8 with LF in the sources and become Shift-JIS with
# CR LF; .lib files are then scrambled. Bodies are compressed. A missing subfolder (other
# than gra2/) gives an empty archive. Files whose names start with "." are left out.
#
# GENERATED_DIR: a second folder of the same layout whose files the build makes (target
# GENERATED_BY, which touches GENERATED_STAMP when done). Its files are packed together with
# the sources; since they do not exist when CMake runs, both folders are then listed when
# packing (cmake/ZanPackFolders.cmake).
set(ZAN_PACK_FOLDERS_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/ZanPackFolders.cmake")
function(zan_game_data)
  cmake_parse_arguments(Z "" "TARGET;SOURCE_DIR;OUTPUT_DIR;GENERATED_DIR;GENERATED_STAMP;GENERATED_BY" "" ${ARGN})
  set(routes msg gra snd dat system gra2)
  set(outputs)
  foreach(folder IN LISTS routes)
    if(folder STREQUAL "gra2" AND NOT IS_DIRECTORY "${Z_SOURCE_DIR}/gra2")
      continue()
    endif()
    file(GLOB_RECURSE files CONFIGURE_DEPENDS "${Z_SOURCE_DIR}/${folder}/*")
    list(FILTER files EXCLUDE REGEX "/\\.[^/]*$")
    list(SORT files)
    set(archive "${Z_OUTPUT_DIR}/${folder}.arc")
    if(Z_GENERATED_DIR)
      set(pack "${CMAKE_COMMAND}" "-DPACKER=$<TARGET_FILE:zangamepack>" "-DARCHIVE=${archive}"
          "-DFOLDERS=${Z_SOURCE_DIR}/${folder}|${Z_GENERATED_DIR}/${folder}" -P "${ZAN_PACK_FOLDERS_SCRIPT}")
      set(generated "${Z_GENERATED_STAMP}" ${Z_GENERATED_BY})
    else()
      set(pack zangamepack "${archive}" ${files})
      set(generated)
    endif()
    add_custom_command(OUTPUT "${archive}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${Z_OUTPUT_DIR}"
      COMMAND ${pack}
      DEPENDS zangamepack ${files} ${generated}
      COMMENT "Packing ${folder}.arc of ${Z_TARGET}"
      VERBATIM)
    list(APPEND outputs "${archive}")
  endforeach()
  add_custom_target(${Z_TARGET} ALL DEPENDS ${outputs})
endfunction()
