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
    # GCC 12 reports -Wrestrict inside libstdc++'s own std::string assignment at -O2/-O3
    # (GCC bug 105651), a false alarm about the library, not our code.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
       AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(CORVANEL_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
