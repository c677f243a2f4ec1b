# Warnings are errors in Morvane's own code; targets opt in with morvane_warnings(). Shadowed
# names and C-style casts are refused too (the casts of C++ say which conversion is meant).
function(morvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow
        $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast>)
endfunction()
