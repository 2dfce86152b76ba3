# cmake -DKEY=<private key.pem> -DFILE=<file> -DOUTPUT=<signature file> -P SignUpdate.cmake
# Writes what scripts/sign-update.sh prints, the upgrade page's signature line, to a file.
execute_process(COMMAND "${CMAKE_CURRENT_LIST_DIR}/../scripts/sign-update.sh" "${KEY}" "${FILE}"
  OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "Signing ${FILE} with ${KEY} failed")
endif()
