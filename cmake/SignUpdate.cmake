# cmake -DKEY=<private key.pem> -DVERSION=<version> -DFILE=<setup program>
#       -DOUTPUT=<signature file> -P SignUpdate.cmake
# Writes what scripts/sign-update.sh prints, the upgrade page's signature line, to a file.
execute_process(
  COMMAND "${CMAKE_CURRENT_LIST_DIR}/../scripts/sign-update.sh" "${KEY}" "${VERSION}" "${FILE}"
  OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "Signing ${FILE} as ${VERSION} with ${KEY} failed")
endif()
