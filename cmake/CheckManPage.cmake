# Renders the man page PAGE as a terminal would show it and fails on any warning of the formatter.
find_program(GROFF groff REQUIRED)
execute_process(COMMAND "${GROFF}" -man -Tutf8 -ww -z "${PAGE}"
    RESULT_VARIABLE status ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "${PAGE} does not render cleanly (status ${status}):\n${warnings}")
endif()
