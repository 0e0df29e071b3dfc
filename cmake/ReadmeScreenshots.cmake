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

# The save screen: two pages read on the beach, each saved through the screen (input action
# 9, then a double click on a slot: the first, then the second), the pointer resting on the
# second so that its preview shows.
set(dir "${WORK}/screenshot-save")
file(REMOVE_RECURSE "${dir}")
file(MAKE_DIRECTORY "${dir}/run")
file(COPY "${GAME}/" DESTINATION "${dir}/game")
file(WRITE "${dir}/input.txt"
  "12 click 400 300\n24 click 400 300\n36 click 400 300\n48 click 400 300\n"
  "60 action 9\n90 click 96 140\n94 click 96 140\n110 key Escape\n"
  "140 click 400 300\n152 click 400 300\n164 click 400 300\n176 click 400 300\n"
  "200 action 9\n230 click 248 140\n234 click 248 140\n")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E env "XDG_RUNTIME_DIR=${dir}/run"
          "${ZAN}" --headless --start route_b.txt --input "${dir}/input.txt" --frames 251
          --screenshot "250:${dir}/full.png" "${dir}/game"
  RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "zan ended with ${rc} for screenshot-save\n${err}")
endif()
execute_process(COMMAND "${SHRINK}" "${dir}/full.png" "${OUT}/screenshot-save.png" 480 RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "zan-pngshrink failed for screenshot-save")
endif()
message(STATUS "${OUT}/screenshot-save.png")
