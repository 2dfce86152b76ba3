# The key that upgrade installers are signed with. Only its public half is built into the
# program; the release key's private half never comes near the repository or the build.
set(SNAPGATE_UPDATE_PUBLIC_KEY "" CACHE FILEPATH
    "PEM file of the public key that upgrade installers must be signed with; empty: a test key pair made in the build directory")
find_program(SNAPGATE_OPENSSL openssl REQUIRED)

function(snapgate_openssl)
  execute_process(COMMAND "${SNAPGATE_OPENSSL}" ${ARGN}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "openssl ${ARGN} failed: ${output}")
  endif()
endfunction()

set(update_key_dir "${CMAKE_BINARY_DIR}/update-key")
file(MAKE_DIRECTORY "${update_key_dir}")
if(SNAPGATE_UPDATE_PUBLIC_KEY)
  file(REAL_PATH "${SNAPGATE_UPDATE_PUBLIC_KEY}" update_public_pem)
  if(NOT EXISTS "${update_public_pem}")
    message(FATAL_ERROR "SNAPGATE_UPDATE_PUBLIC_KEY: no file ${update_public_pem}")
  endif()
  set(SNAPGATE_UPDATE_TEST_KEY "" CACHE INTERNAL "")
else()
  # Made once per build directory, so that rebuilding keeps what was signed valid.
  set(test_key "${update_key_dir}/test-private.pem")
  set(update_public_pem "${update_key_dir}/test-public.pem")
  if(NOT EXISTS "${test_key}")
    snapgate_openssl(genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "${test_key}")
  endif()
  snapgate_openssl(pkey -in "${test_key}" -pubout -out "${update_public_pem}")
  # The private key of the test key pair, for tests that sign installers of their own.
  set(SNAPGATE_UPDATE_TEST_KEY "${test_key}" CACHE INTERNAL "")
  message(NOTICE "Test build: upgrades are trusted when signed with ${test_key}; "
                 "a release build needs -DSNAPGATE_UPDATE_PUBLIC_KEY=<the maker's public.pem>")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${update_public_pem}")

# As DER, a P-256 public key is a fixed prefix (the algorithm and curve identifiers, the bit
# string's head and 04 for an uncompressed point) followed by X and Y.
set(update_public_der "${update_key_dir}/public.der")
snapgate_openssl(ec -pubin -in "${update_public_pem}" -outform DER -conv_form uncompressed
  -out "${update_public_der}")
file(READ "${update_public_der}" der HEX)
set(p256_prefix "3059301306072a8648ce3d020106082a8648ce3d03010703420004")
string(LENGTH "${p256_prefix}" prefix_length)
string(LENGTH "${der}" der_length)
math(EXPR expected_length "${prefix_length} + 128")
if(NOT der_length EQUAL expected_length OR NOT der MATCHES "^${p256_prefix}")
  message(FATAL_ERROR "${update_public_pem} is not an ECDSA P-256 public key")
endif()
string(SUBSTRING "${der}" ${prefix_length} 128 point)
set(SNAPGATE_UPDATE_KEY_BYTES "")
foreach(line_start RANGE 0 112 16)
  string(SUBSTRING "${point}" ${line_start} 16 line)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " line "${line}")
  string(STRIP "${line}" line)
  string(APPEND SNAPGATE_UPDATE_KEY_BYTES "\n    ${line}")
endforeach()
set(SNAPGATE_UPDATE_KEY_ORIGIN "${update_public_pem}")
set(SNAPGATE_UPDATE_KEY_INCLUDE_DIR "${CMAKE_BINARY_DIR}/update-key/include")
configure_file("${PROJECT_SOURCE_DIR}/src/online/update_public_key.h.in"
  "${SNAPGATE_UPDATE_KEY_INCLUDE_DIR}/online/update_public_key.h" @ONLY)

# snapgate_sign_update(<signature file> <version> <file> [DEPENDS ...]): writes the upgrade
# page's signature line of a setup program released as that version, made with the test key,
# at build time.
function(snapgate_sign_update output version file)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  if(NOT SNAPGATE_UPDATE_TEST_KEY)
    message(FATAL_ERROR "No test key to sign ${file} with: SNAPGATE_UPDATE_PUBLIC_KEY is set")
  endif()
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" -DKEY=${SNAPGATE_UPDATE_TEST_KEY} -DVERSION=${version}
            -DFILE=${file} -DOUTPUT=${output} -P "${PROJECT_SOURCE_DIR}/cmake/SignUpdate.cmake"
    DEPENDS "${file}" "${PROJECT_SOURCE_DIR}/scripts/sign-update.sh"
            "${PROJECT_SOURCE_DIR}/cmake/SignUpdate.cmake" ${ARG_DEPENDS}
    COMMENT "Signing with the test key: ${output}"
    VERBATIM)
endfunction()
