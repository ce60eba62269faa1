# Warnings for the project's own code. The framework's headers come in as system headers, so
# these flags never fire inside them.
function(tarvik_enable_warnings target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wno-unused-parameter)
    endif()
endfunction()
