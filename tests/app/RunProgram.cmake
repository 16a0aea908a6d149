# Runs PROGRAM with ARGS (a ;-list) and checks its exit code against
# EXPECT_CODE and its standard output against EXPECT_OUTPUT (a regex).
# Used with no display at all, to show the answer needs none.
execute_process(COMMAND ${PROGRAM} ${ARGS} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code STREQUAL EXPECT_CODE)
    message(FATAL_ERROR "exit code ${code}, expected ${EXPECT_CODE}\nstdout: ${out}\nstderr: ${err}")
endif()
if(NOT out MATCHES "${EXPECT_OUTPUT}")
    message(FATAL_ERROR "standard output does not match '${EXPECT_OUTPUT}':\n${out}\nstderr: ${err}")
endif()
