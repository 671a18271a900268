# Runs PROGRAM (under EMULATOR, if set) with INPUT as its standard input and compares what it writes
# with EXPECTED, byte for byte, and its exit status with EXPECTED_STATUS.
execute_process(
    COMMAND ${EMULATOR} "${PROGRAM}"
    INPUT_FILE "${INPUT}"
    OUTPUT_VARIABLE actual
    ERROR_VARIABLE errors
    RESULT_VARIABLE status
    TIMEOUT 60)
file(READ "${EXPECTED}" expected)
file(WRITE "${ACTUAL}" "${actual}")

if(NOT "${status}" STREQUAL "${EXPECTED_STATUS}")
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED_STATUS}\n${errors}")
endif()
if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "output differs from ${EXPECTED}; it is kept in ${ACTUAL}")
endif()
