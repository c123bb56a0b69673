# Runs "mfp check" and requires an exit status and, when given, an output.
#   -DMFP=path [-DEMULATOR=wine] -DARGS=a|b|c -DEXPECTED_STATUS=n
#   [-DEXPECTED_FILE=path] (whole output, line ends aside) [-DEXPECTED_REGEX=re]
string(REPLACE "|" ";" arguments "${ARGS}")
execute_process(COMMAND ${EMULATOR} ${MFP} check ${arguments}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
string(REPLACE "\r\n" "\n" output "${output}")
if(NOT status EQUAL EXPECTED_STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED_STATUS}\n${output}${errors}")
endif()
if(DEFINED EXPECTED_FILE)
  file(READ ${EXPECTED_FILE} expected)
  if(NOT output STREQUAL expected)
    message(FATAL_ERROR "output differs from ${EXPECTED_FILE}:\n${output}")
  endif()
endif()
if(DEFINED EXPECTED_REGEX AND NOT output MATCHES "${EXPECTED_REGEX}")
  message(FATAL_ERROR "output does not match ${EXPECTED_REGEX}:\n${output}")
endif()
