# cmake -DBINARY=<program> -DLIBRARIES=<name,name...> -P NotLoadedAtStart.cmake
#
# Fails when the dynamic linker would load any of LIBRARIES (file names without ".so...")
# when BINARY starts: those are loaded while it runs, by the first file that needs them.
execute_process(COMMAND ldd "${BINARY}" OUTPUT_VARIABLE loaded ERROR_VARIABLE error
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd ${BINARY} failed (${rc}): ${error}")
endif()
string(REPLACE "," ";" libraries "${LIBRARIES}")
foreach(library IN LISTS libraries)
  if(loaded MATCHES "(^|[\t /])${library}\\.so")
    message(FATAL_ERROR "${BINARY} loads ${library} at start:\n${loaded}")
  endif()
endforeach()
