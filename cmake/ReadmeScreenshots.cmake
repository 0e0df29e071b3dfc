# The README's screenshots (target readme_screenshots): the demo game played headless from a
# script, a click every 12 frames, to a chosen page, and the screenshot shrunk to 480 × 360
# into docs/. Inputs: ZAN, SHRINK (zan-pngshrink), GAME (the packed demo), WORK, OUT.
# Each entry: name|start script ("-": none, the title opens)|frame.
set(shots
  "screenshot-title|-|100"             # the title and its menu (a click skips the opening)
  "screenshot-beach|route_b.txt|82"    # Noel and Akari on the night beach, the star between them
  "screenshot-zoom|route_a.txt|358"    # the lamp room, the star magnified in the zoom window
  "screenshot-sea|route_b.txt|322")    # the sea lit blue
foreach(shot IN LISTS shots)
  string(REPLACE "|" ";" fields "${shot}")
  list(GET fields 0 name)
  list(GET fields 1 script)
  list(GET fields 2 frame)
  set(dir "${WORK}/${name}")
  file(REMOVE_RECURSE "${dir}")
  file(MAKE_DIRECTORY "${dir}/run")
  file(COPY "${GAME}/" DESTINATION "${dir}/game")
  math(EXPR frames "${frame} + 1")
  set(start --start "${script}")
  if(script STREQUAL "-")
    set(start)
  endif()
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env "XDG_RUNTIME_DIR=${dir}/run"
            "${ZAN}" --headless ${start} --click-every 12 --frames ${frames}
            --screenshot "${frame}:${dir}/full.png" "${dir}/game"
    RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zan ended with ${rc} for ${name}\n${err}")
  endif()
  execute_process(COMMAND "${SHRINK}" "${dir}/full.png" "${OUT}/${name}.png" 480 RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zan-pngshrink failed for ${name}")
  endif()
  message(STATUS "${OUT}/${name}.png")
endforeach()
