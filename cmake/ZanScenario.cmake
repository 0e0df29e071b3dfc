# Scenario tests: small games whose scripts exercise a feature, run by the real `zan`
# binary headless, checked by the variables it dumps at exit.
#
# zan_scenario_game(TARGET <target> SOURCE_DIR <dir> OUTPUT_DIR <dir> [GENERATED_BY <exe>])
#   Packs a game source folder (the layout of zan_game_data) into OUTPUT_DIR with the
#   independent test archive writer (tests/data/TestGamePack.cpp). With GENERATED_BY, the
#   sources are first copied to OUTPUT_DIR-src and `<exe> <copy> <OUTPUT_DIR>` adds the files
#   the build makes (sounds, pictures) to the copy, and state files (sys/) to the game.
#
# zan_scenario_test(NAME <test> GAME <target> [QUIET] [FIRST_RUN <args>...] ARGS <args>...
#                   EXPECT <name=value>... [CHECK <command>...])
#   Copies the packed game to a fresh folder, runs
#     zan --headless --dump-vars <file> ARGS... <game folder>
#   (after one run with FIRST_RUN's arguments in the same folder when given, so state files
#   carry over) and checks that every EXPECT line is a line of the dump. Then CHECK, when
#   given, must succeed. "%WORK%" in FIRST_RUN, ARGS and CHECK stands for the test's own folder (for
#   files such as --audio-out's). With QUIET, the runs must print nothing on stderr. Each
#   run has XDG_RUNTIME_DIR and XDG_DATA_HOME of its own in the test's folder. Without a
#   Japanese font (zan refuses to start) the test is reported skipped, with the reason.
#   A second test, <test>_redraw (label redraw), runs the same in every pixel format drawing
#   only what changed and with --full-redraw, and compares the pictures after every frame
#   (CompareRedraw.cmake).

set(ZAN_SCENARIO_RUNNER "${CMAKE_CURRENT_LIST_DIR}/RunScenario.cmake")
set(ZAN_REDRAW_RUNNER "${CMAKE_CURRENT_LIST_DIR}/CompareRedraw.cmake")

function(zan_scenario_game)
  cmake_parse_arguments(Z "" "TARGET;SOURCE_DIR;OUTPUT_DIR;GENERATED_BY" "" ${ARGN})
  file(GLOB_RECURSE files CONFIGURE_DEPENDS "${Z_SOURCE_DIR}/*")
  set(sources "${Z_SOURCE_DIR}")
  set(generate)
  if(Z_GENERATED_BY)
    set(sources "${Z_OUTPUT_DIR}-src")
    set(generate
      COMMAND "${CMAKE_COMMAND}" -E rm -rf "${sources}"
      COMMAND "${CMAKE_COMMAND}" -E copy_directory "${Z_SOURCE_DIR}" "${sources}"
      COMMAND ${Z_GENERATED_BY} "${sources}" "${Z_OUTPUT_DIR}")
  endif()
  add_custom_command(OUTPUT "${Z_OUTPUT_DIR}/msg.arc"
    ${generate}
    COMMAND zan_test_gamepack "${sources}" "${Z_OUTPUT_DIR}"
    DEPENDS zan_test_gamepack ${files} ${Z_GENERATED_BY}
    COMMENT "Packing the scenario game ${Z_TARGET}"
    VERBATIM)
  add_custom_target(${Z_TARGET} ALL DEPENDS "${Z_OUTPUT_DIR}/msg.arc")
  set_target_properties(${Z_TARGET} PROPERTIES ZAN_GAME_DIR "${Z_OUTPUT_DIR}")
endfunction()

function(zan_scenario_test)
  cmake_parse_arguments(Z "QUIET" "NAME;GAME" "FIRST_RUN;ARGS;EXPECT;CHECK" ${ARGN})
  get_target_property(game ${Z_GAME} ZAN_GAME_DIR)
  # Lists travel with "|" between their items: a ";" would split the -D argument.
  string(REPLACE ";" "|" first "${Z_FIRST_RUN}")
  string(REPLACE ";" "|" args "${Z_ARGS}")
  string(REPLACE ";" "|" expect "${Z_EXPECT}")
  string(REPLACE ";" "|" check "${Z_CHECK}")
  add_test(NAME ${Z_NAME}
    COMMAND "${CMAKE_COMMAND}" "-DZAN=$<TARGET_FILE:zan>" "-DGAME=${game}"
            "-DWORK=${CMAKE_CURRENT_BINARY_DIR}/scenario/${Z_NAME}" "-DFIRST_RUN=${first}"
            "-DARGS=${args}" "-DEXPECT=${expect}" "-DCHECK=${check}" "-DQUIET=${Z_QUIET}"
            -P "${ZAN_SCENARIO_RUNNER}")
  set_tests_properties(${Z_NAME} PROPERTIES TIMEOUT 120 LABELS scenario
                       SKIP_REGULAR_EXPRESSION "zan-scenario-skipped:")
  add_test(NAME ${Z_NAME}_redraw
    COMMAND "${CMAKE_COMMAND}" "-DZAN=$<TARGET_FILE:zan>" "-DGAME=${game}"
            "-DWORK=${CMAKE_CURRENT_BINARY_DIR}/scenario/${Z_NAME}_redraw" "-DFIRST_RUN=${first}"
            "-DARGS=${args}" -P "${ZAN_REDRAW_RUNNER}")
  set_tests_properties(${Z_NAME}_redraw PROPERTIES TIMEOUT 900 LABELS "scenario;redraw")
endfunction()
