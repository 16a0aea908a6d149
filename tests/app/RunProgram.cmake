# Runs PROGRAM with ARGS (a ;-list) and checks its exit code against
# EXPECT_CODE and its standard output against EXPECT_OUTPUT (a regex); with
# OUTPUT_FILE, standard output goes there instead; with ONE_ERROR_LINE,
# standard error must be exactly one line that starts with it. Used with no
# display at all, to show the answer needs none.
if(OUTPUT_FILE)
    execute_process(COMMAND ${PROGRAM} ${ARGS} RESULT_VARIABLE code OUTPUT_FILE ${OUTPUT_FILE} ERROR_VARIABLE err)
    set(out "")
else()
    execute_process(COMMAND ${PROGRAM} ${ARGS} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
if(NOT code STREQUAL EXPECT_CODE)
    message(FATAL_ERROR "exit code ${code}, expected ${EXPECT_CODE}\nstdout: ${out}\nstderr: ${err}")
endif()
if(NOT out MATCHES "${EXPECT_OUTPUT}")
    message(FATAL_ERROR "standard output does not match '${EXPECT_OUTPUT}':\n${out}\nstderr: ${err}")
endif()
if(ONE_ERROR_LINE)
    string(FIND "${err}" "${ONE_ERROR_LINE}" start)
    string(REGEX MATCHALL "\n" ends "${err}")
    list(LENGTH ends lines)
    if(NOT start EQUAL 0 OR NOT lines EQUAL 1 OR NOT err MATCHES "\n$")
        message(FATAL_ERROR "standard error is not one line starting '${ONE_ERROR_LINE}':\n${err}")
    endif()
endif()
