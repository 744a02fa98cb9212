# Runs the fuzz target PROGRAM briefly on CORPUS and succeeds only when it printed a sanitizer report
# and failed: the check that the fuzz build never prints a report and then passes over it.
execute_process(COMMAND ${PROGRAM} -runs=100 ${CORPUS} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(result EQUAL 0 OR NOT err MATCHES "runtime error:")
  message(FATAL_ERROR "A sanitizer report did not stop the run (exit ${result}):\n${err}")
endif()
message(STATUS "The sanitizer report stopped the run (exit ${result})")
