# Build steps that run during the build need a compiler for the build machine, which is not
# the target compiler when cross-compiling for Windows.
find_program(SNAPGATE_HOST_CXX NAMES c++ g++ REQUIRED)

# snapgate_host_tool(<name> SOURCES <file>...): compiles a small build-time program.
function(snapgate_host_tool name)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  set(output "${CMAKE_BINARY_DIR}/host-tools/${name}")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/host-tools"
    COMMAND "${SNAPGATE_HOST_CXX}" -std=c++20 -O2 -Wall -Wextra -Werror
            -I "${CMAKE_SOURCE_DIR}/src" ${ARG_SOURCES} -o "${output}"
    DEPENDS ${ARG_SOURCES}
    COMMENT "Building build tool ${name}"
    VERBATIM)
  add_custom_target(${name} DEPENDS "${output}")
  set_target_properties(${name} PROPERTIES OUTPUT_FILE "${output}")
endfunction()
