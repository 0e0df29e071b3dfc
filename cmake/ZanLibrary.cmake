# zan_library(NAME <target> DIR <path under src> SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
#
# Every folder under src/ is one static library. Its headers are reachable only through a
# per-library include root in the build tree (a link named after the folder), so a library
# sees the headers of exactly the libraries it links: a wrong include fails the build.
function(zan_library)
  cmake_parse_arguments(Z "" "NAME;DIR" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  set(root "${CMAKE_BINARY_DIR}/include/${Z_NAME}")
  get_filename_component(parent "${root}/${Z_DIR}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  if(NOT EXISTS "${root}/${Z_DIR}")
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/src/${Z_DIR}" "${root}/${Z_DIR}" SYMBOLIC)
  endif()
  add_library(${Z_NAME} STATIC ${Z_SOURCES})
  target_include_directories(${Z_NAME} PUBLIC "${root}")
  target_link_libraries(${Z_NAME} PUBLIC ${Z_DEPS} PRIVATE ${Z_PRIVATE_DEPS})
  target_compile_options(${Z_NAME} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()

# zan_gtest(NAME <target> SOURCES ... DEPS ... [SCENARIO <suite>...]): one test executable,
# its cases registered with CTest. The cases of the SCENARIO suites run the real `zan`
# binary: they carry the label "scenario" (ctest -L scenario / -LE scenario).
function(zan_gtest)
  cmake_parse_arguments(Z "" "NAME" "SOURCES;DEPS;SCENARIO" ${ARGN})
  add_executable(${Z_NAME} ${Z_SOURCES})
  target_link_libraries(${Z_NAME} PRIVATE ${Z_DEPS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  target_compile_definitions(${Z_NAME} PRIVATE ZAN_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
  if(Z_SCENARIO)
    # "*" before the suite: a parameterised suite's cases are PREFIX/Suite.Case/N.
    list(TRANSFORM Z_SCENARIO PREPEND "*")
    list(TRANSFORM Z_SCENARIO APPEND ".*")
    string(JOIN ":" suites ${Z_SCENARIO})
    gtest_discover_tests(${Z_NAME} TEST_FILTER "${suites}" DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 120 LABELS scenario)
    gtest_discover_tests(${Z_NAME} TEST_FILTER "-${suites}" DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  else()
    gtest_discover_tests(${Z_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
  endif()
endfunction()
