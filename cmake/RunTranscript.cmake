# Runs PROGRAM (under EMULATOR, if set), with the arguments in ARGUMENTS_FILE (one a line) if set,
# with INPUT as its standard input and compares what it writes
# with EXPECTED, byte for byte, and its exit status with EXPECTED_STATUS. With LINE_END=CRLF every
# line end of EXPECTED is taken as CRLF: that is how a Windows program writes text.
set(arguments "")
if(ARGUMENTS_FILE)
    file(STRINGS "${ARGUMENTS_FILE}" arguments)
endif()
execute_process(
    COMMAND ${EMULATOR} "${PROGRAM}" ${arguments}
    INPUT_FILE "${INPUT}"
    OUTPUT_FILE "${ACTUAL}"
    ERROR_VARIABLE errors
    RESULT_VARIABLE status
    TIMEOUT 60)
if(NOT "${status}" STREQUAL "${EXPECTED_STATUS}")
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED_STATUS}\n${errors}")
endif()

# The output goes to a file and is compared as a file: a string would lose CR bytes.
file(READ "${EXPECTED}" expected)
if(LINE_END STREQUAL "CRLF")
    string(REPLACE "\n" "\r\n" expected "${expected}")
endif()
file(WRITE "${ACTUAL}.expected" "${expected}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${ACTUAL}" "${ACTUAL}.expected"
    RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "output differs from ${EXPECTED}: compare ${ACTUAL} with ${ACTUAL}.expected")
endif()
