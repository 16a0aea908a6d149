# Installs the build into a fresh prefix and checks the desktop files there:
# the desktop entry and the AppStream metadata pass their validators, and the
# icons, the manual page and the help page are where a desktop looks for them.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE code OUTPUT_QUIET)
if(code)
    message(FATAL_ERROR "install failed: ${code}")
endif()

set(expected
    bin/Q8xj
    bin/q8xj-cli
    share/applications/org.q8xj.Q8xj.desktop
    share/metainfo/org.q8xj.Q8xj.metainfo.xml
    share/man/man1/Q8xj.1
    share/q8xj/help/index.html
    share/icons/hicolor/scalable/apps/q8xj.svg)
foreach(size 16 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/q8xj.png)
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

# The installed programs find the project's libraries in their private folder.
foreach(program Q8xj q8xj-cli)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=DISPLAY
                            --unset=WAYLAND_DISPLAY "${PREFIX}/bin/${program}" --version
                    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(code)
        message(FATAL_ERROR "installed ${program} does not start: ${out}")
    endif()
endforeach()

execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} "${PREFIX}/share/applications/org.q8xj.Q8xj.desktop"
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(code OR out MATCHES "error:")
    message(FATAL_ERROR "desktop entry: ${out}")
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net "${PREFIX}/share/metainfo/org.q8xj.Q8xj.metainfo.xml"
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(code)
    message(FATAL_ERROR "AppStream metadata: ${out}")
endif()

# The desktop entry starts the program in its data folder.
file(READ "${PREFIX}/share/applications/org.q8xj.Q8xj.desktop" entry)
if(NOT entry MATCHES "\nExec=Q8xj --in-data-folder\n")
    message(FATAL_ERROR "the desktop entry does not pass --in-data-folder")
endif()
