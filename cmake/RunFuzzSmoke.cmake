# Runs one fuzz target as a test (see fuzz/CMakeLists.txt). Inputs: FUZZER, CORPUS (the
# committed seeds, never written), WORK (the test's own folder, made afresh), RUNS, SEED.
#   1. Every seed once (-runs=0 only replays the corpus).
#   2. RUNS inputs mutated from the seeds with the fixed SEED; what it adds goes to a scratch
#      folder in WORK, so the committed corpus stays as it is and nothing grows between runs.
# A crash leaves its input in WORK (the next run removes it); a pass leaves nothing.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/scratch")

function(run_fuzzer what)
  execute_process(COMMAND "${FUZZER}" -rss_limit_mb=2048 -artifact_prefix=${WORK}/ ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}); the input is kept in ${WORK}\n${out}${err}")
  endif()
  string(REGEX MATCH "Done [0-9]+ runs[^\n]*" done "${err}")
  message("${what}: ${done}")
endfunction()

run_fuzzer("the seeds" -runs=0 "${CORPUS}")
run_fuzzer("seed ${SEED}, ${RUNS} runs" -seed=${SEED} -runs=${RUNS} -max_total_time=60
           "${WORK}/scratch" "${CORPUS}")
file(REMOVE_RECURSE "${WORK}")
