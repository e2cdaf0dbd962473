# Warnings every Corvanel target builds with; applied per target, never globally.
function(corvanel_set_warnings target)
    # -Wshadow=local is GCC's spelling; clang (the fuzz preset) names the same check differently.
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        set(_shadow -Wshadow-uncaptured-local)
    else()
        set(_shadow -Wshadow=local)
    endif()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic ${_shadow}
                                             -Wnon-virtual-dtor -Wcast-align -Wunused)
    if(CORVANEL_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
