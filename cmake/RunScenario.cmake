# Runs one scenario test (see ZanScenario.cmake). Inputs: ZAN, GAME, WORK, FIRST_RUN, ARGS,
# EXPECT, CHECK ("|"-separated lists; "%WORK%" stands for WORK), QUIET (true: nothing on
# stderr).
foreach(list FIRST_RUN ARGS CHECK)
  string(REPLACE "%WORK%" "${WORK}" ${list} "${${list}}")
endforeach()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/run")
file(COPY "${GAME}/" DESTINATION "${WORK}/game")

function(run_zan args dump)
  string(REPLACE "|" ";" args "${args}")
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env --unset=ZAN_VERBOSE "XDG_RUNTIME_DIR=${WORK}/run"
            "XDG_DATA_HOME=${WORK}/data" "${ZAN}" --headless --dump-vars "${dump}" ${args} "${WORK}/game"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 AND err MATCHES "fonts-ipafont-gothic")
    # ctest reports the test as skipped (SKIP_REGULAR_EXPRESSION), with the reason.
    message(FATAL_ERROR "zan-scenario-skipped: needs a Japanese font\n${err}")
  endif()
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zan ${args} ended with ${rc}\n${out}\n${err}")
  endif()
  if(QUIET AND NOT err STREQUAL "")
    message(FATAL_ERROR "zan ${args} printed on stderr:\n${err}")
  endif()
endfunction()

if(NOT FIRST_RUN STREQUAL "")
  run_zan("${FIRST_RUN}" "${WORK}/first-vars.txt")
endif()
run_zan("${ARGS}" "${WORK}/vars.txt")

file(STRINGS "${WORK}/vars.txt" dump ENCODING UTF-8)
string(REPLACE "|" ";" expected "${EXPECT}")
set(failed "")
foreach(line IN LISTS expected)
  list(FIND dump "${line}" found)
  if(found EQUAL -1)
    string(APPEND failed "  missing: ${line}\n")
  endif()
endforeach()
if(NOT failed STREQUAL "")
  string(REPLACE ";" "\n  " shown "${dump}")
  message(FATAL_ERROR "scenario variables differ:\n${failed}dump:\n  ${shown}")
endif()

if(NOT CHECK STREQUAL "")
  string(REPLACE "|" ";" check "${CHECK}")
  execute_process(COMMAND ${check} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message("${out}${err}")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the check failed (${rc})")
  endif()
endif()

# A passing run leaves nothing behind; a failing one keeps its folder to be looked at.
file(REMOVE_RECURSE "${WORK}")
