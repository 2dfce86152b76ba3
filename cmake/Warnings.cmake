# Our own targets compile warning-free; third-party code (GoogleTest) keeps its own flags.
function(snapgate_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  # GCC 12 reports std::string concatenation at -O2 and above as overlapping copies (GCC bug
  # 105329); the warning is wrong there and would stop the build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(SNAPGATE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
