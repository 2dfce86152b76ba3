# snapgate_delay_import(<name>): an import library, from src/platform/win32/delay_load/<name>.def,
# that loads <name>.dll at the first call into it rather than at the program's start. A library
# that serves a rare action (a download, a file dialog, a signature check, a sound) then costs
# nothing until that action: under Wine each one drags in its Unix libraries and their memory.
# The .def names only the functions the program calls; a new call fails the link until added.
find_program(SNAPGATE_DLLTOOL NAMES x86_64-w64-mingw32-dlltool REQUIRED)

function(snapgate_delay_import name)
  set(def "${CMAKE_SOURCE_DIR}/src/platform/win32/delay_load/${name}.def")
  set(output "${CMAKE_BINARY_DIR}/delay_load/lib${name}_delayed.a")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/delay_load"
    COMMAND "${SNAPGATE_DLLTOOL}" --input-def "${def}" --dllname "${name}.dll"
            --output-delaylib "${output}"
    DEPENDS "${def}"
    COMMENT "Making the delayed import library of ${name}.dll"
    VERBATIM)
  add_custom_target(${name}_delayed_import DEPENDS "${output}")
  add_library(${name}_delayed STATIC IMPORTED GLOBAL)
  set_target_properties(${name}_delayed PROPERTIES IMPORTED_LOCATION "${output}")
  add_dependencies(${name}_delayed ${name}_delayed_import)
endfunction()
