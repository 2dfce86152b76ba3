# Our own targets compile warning-free; third-party code (GoogleTest) keeps its own flags.
function(snapgate_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SNAPGATE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
