# Per-target warnings; -Werror only where the preset asks for it.
option(Q8XJ_WERROR "Treat warnings as errors" OFF)

function(q8xj_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wnon-virtual-dtor
        -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wnull-dereference
        $<$<BOOL:${Q8XJ_WERROR}>:-Werror>)
endfunction()
