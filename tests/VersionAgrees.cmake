# Every place that states the version agrees with the one the build defines:
# the package's changelog entry, the newest AppStream release, the manual
# pages' title lines, and what q8xj-cli --version prints (Q8xj's own is
# checked with its other options).
set(places
    "debian/changelog|^\nq8xj \\(([^)]+)\\)"
    "res/org.q8xj.Q8xj.metainfo.xml|<release version=\"([^\"]+)\""
    "res/Q8xj.1|\n\\.TH [^\n]* \"Q8xj ([^\"]+)\""
    "res/q8xj-cli.1|\n\\.TH [^\n]* \"Q8xj ([^\"]+)\"")
foreach(place IN LISTS places)
    string(REPLACE "|" ";" place "${place}")
    list(GET place 0 file)
    list(GET place 1 pattern)
    file(READ "${SOURCE_DIR}/${file}" text)
    # A leading line break lets a pattern name the start of any line, the first too.
    if(NOT "\n${text}" MATCHES "${pattern}")
        message(SEND_ERROR "${file}: no version found")
    elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
        message(SEND_ERROR "${file} says ${CMAKE_MATCH_1}, the build ${VERSION}")
    endif()
endforeach()

if(CLI)
    execute_process(COMMAND "${CLI}" --version OUTPUT_VARIABLE out RESULT_VARIABLE code)
    if(NOT code EQUAL 0 OR NOT out STREQUAL "q8xj-cli ${VERSION}\n")
        message(SEND_ERROR "q8xj-cli --version exits ${code} with: ${out}")
    endif()
endif()
