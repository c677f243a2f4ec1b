# Warnings are errors in Morvane's own code; targets opt in with morvane_warnings().
function(morvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
