# Windows resource scripts (.rc). morvane_add_resources(target file.rc) compiles the script and
# links it into the target (filled in with the dialog support).
function(morvane_add_resources target rcfile)
    message(FATAL_ERROR "morvane_add_resources is not available yet")
endfunction()
