# What every target of the project shares: warnings, and the way its tests are registered.

function(osdemos_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${OSDEMOS_WERROR}>:/WX>)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
            $<$<BOOL:${OSDEMOS_WERROR}>:-Werror>)
    endif()
endfunction()

# A program's library (its logic, streams passed in) and the executable that binds it to the console.
function(osdemos_program name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;TESTS")
    add_library(${name}_core STATIC ${arg_SOURCES})
    target_include_directories(${name}_core PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}")
    target_link_libraries(${name}_core PUBLIC console)
    osdemos_warnings(${name}_core)

    add_executable(${name} main.cpp)
    target_link_libraries(${name} PRIVATE ${name}_core)
    osdemos_warnings(${name})

    if(BUILD_TESTING)
        if(arg_TESTS)
            osdemos_unit_tests(${name}_tests ${arg_TESTS})
            target_link_libraries(${name}_tests PRIVATE ${name}_core)
        endif()
        osdemos_transcripts(${name})
    endif()
endfunction()

function(osdemos_unit_tests target)
    add_executable(${target} ${ARGN})
    target_link_libraries(${target} PRIVATE GTest::gtest_main)
    osdemos_warnings(${target})
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES)
endfunction()

# Every transcripts/NAME.in beside a program is a test: the program reads it on standard input and
# must write exactly transcripts/NAME.out and exit with 0 (or with the number in NAME.status).
function(osdemos_transcripts program)
    file(GLOB inputs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/transcripts/*.in")
    foreach(input IN LISTS inputs)
        get_filename_component(case "${input}" NAME_WE)
        get_filename_component(dir "${input}" DIRECTORY)
        set(status 0)
        if(EXISTS "${dir}/${case}.status")
            file(STRINGS "${dir}/${case}.status" status LIMIT_COUNT 1)
        endif()
        add_test(NAME ${program}.transcript.${case}
            COMMAND ${CMAKE_COMMAND}
                "-DPROGRAM=$<TARGET_FILE:${program}>"
                "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                "-DINPUT=${input}"
                "-DEXPECTED=${dir}/${case}.out"
                "-DEXPECTED_STATUS=${status}"
                "-DACTUAL=${CMAKE_CURRENT_BINARY_DIR}/${case}.actual"
                -P "${PROJECT_SOURCE_DIR}/cmake/RunTranscript.cmake")
    endforeach()
endfunction()
