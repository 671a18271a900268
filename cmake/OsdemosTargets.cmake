# What every target of the project shares: warnings, and the way its tests are registered.

# Under Wine, one wine server kept running for the whole test run saves about a second per test.
set(OSDEMOS_TEST_PROPERTIES "")
if(BUILD_TESTING AND CMAKE_CROSSCOMPILING AND WINE_SERVER)
    # Wine sets its prefix up on first use and reports it on the terminal, including a failure to
    # start the 32-bit rundll32 that only a 32-bit Wine has (none is installed, and these 64-bit
    # programs need none). Setting the prefix up here, once and quietly, keeps that out of the
    # test log.
    if(NOT EXISTS "${CMAKE_BINARY_DIR}/wine-prefix/system.reg")
        execute_process(COMMAND ${CMAKE_COMMAND} -E env ${WINE_ENVIRONMENT}
            sh -c "'${WINE_LOADER}' wineboot --init && '${WINE_SERVER}' --wait"
            OUTPUT_QUIET ERROR_QUIET)
    endif()
    # The server and the services that Wine starts with it stay in the background: none of them
    # may hold a test's output open, so they are started here, with their output elsewhere.
    add_test(NAME wine.start COMMAND ${CMAKE_COMMAND} -E env ${WINE_ENVIRONMENT}
        sh -c "exec >/dev/null 2>&1 </dev/null; '${WINE_SERVER}' -p && '${WINE_LOADER}' wineboot")
    add_test(NAME wine.stop COMMAND ${CMAKE_COMMAND} -E env ${WINE_ENVIRONMENT} ${WINE_SERVER} -k)
    set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine)
    set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)
    set(OSDEMOS_TEST_PROPERTIES FIXTURES_REQUIRED wine)
endif()

# What runs a program of this build for its tests: nothing natively, the build's emulator when
# cross-compiling, and for the browser build node with the host that gives a program its streams.
if(EMSCRIPTEN)
    set(OSDEMOS_PROGRAM_EMULATOR "${CMAKE_CROSSCOMPILING_EMULATOR};${PROJECT_SOURCE_DIR}/web/run-in-node.js")
else()
    set(OSDEMOS_PROGRAM_EMULATOR "${CMAKE_CROSSCOMPILING_EMULATOR}")
endif()

function(osdemos_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${OSDEMOS_WERROR}>:/WX>)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
            $<$<BOOL:${OSDEMOS_WERROR}>:-Werror>)
    endif()
endfunction()

# A program's library (its logic, streams passed in) and the executable that binds it to the console.
# COMMAND_LINE: the program is driven by its command line rather than by a dialogue, so the page's
# terminal, which has no command line, does not offer it; the page offers the others
# (OSDEMOS_DIALOGUES).
function(osdemos_program name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "COMMAND_LINE" "" "SOURCES;TESTS")
    if(NOT arg_COMMAND_LINE)
        set_property(GLOBAL APPEND PROPERTY OSDEMOS_DIALOGUES ${name})
    endif()
    add_library(${name}_core STATIC ${arg_SOURCES})
    target_include_directories(${name}_core PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}")
    target_link_libraries(${name}_core PUBLIC console)
    osdemos_warnings(${name}_core)

    add_executable(${name} main.cpp)
    target_link_libraries(${name} PRIVATE ${name}_core console_platform)
    osdemos_warnings(${name})
    if(EMSCRIPTEN)
        # One JavaScript file with the WebAssembly inside, that makes a fresh instance of the
        # program on each call of osdemos_NAME(): the page starts a program again that way.
        target_link_options(${name} PRIVATE -sMODULARIZE=1 -sEXPORT_NAME=osdemos_${name}
            -sENVIRONMENT=web,node)
    else()
        install(TARGETS ${name} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
    endif()
    if(NOT WIN32 AND NOT EMSCRIPTEN)
        osdemos_man_page(${name})
    endif()

    if(BUILD_TESTING)
        if(arg_TESTS)
            osdemos_unit_tests(${name}_tests ${arg_TESTS})
            target_link_libraries(${name}_tests PRIVATE ${name}_core console_testing)
        endif()
        osdemos_transcripts(${name})
    endif()
endfunction()

# FILE compressed as Debian wants documentation compressed (gzip -9, no name or time stamp in it,
# so that the same file always gives the same bytes), made in the build and installed in
# DESTINATION.
function(osdemos_install_gzipped file destination)
    get_filename_component(name "${file}" NAME)
    set(copy "${CMAKE_CURRENT_BINARY_DIR}/gzipped/${name}")
    add_custom_command(OUTPUT "${copy}.gz"
        COMMAND ${CMAKE_COMMAND} -E copy "${file}" "${copy}"
        COMMAND gzip -9nf "${copy}"
        DEPENDS "${file}")
    string(MAKE_C_IDENTIFIER "gzip-${name}" target)
    add_custom_target(${target} ALL DEPENDS "${copy}.gz")
    install(FILES "${copy}.gz" DESTINATION "${destination}")
endfunction()

# NAME.1.in beside the program, with the project's version filled in, installed as a man page and
# rendered by a test that fails on any warning of the formatter.
function(osdemos_man_page name)
    set(page "${CMAKE_CURRENT_BINARY_DIR}/${name}.1")
    configure_file(${name}.1.in "${page}" @ONLY)
    osdemos_install_gzipped("${page}" "${CMAKE_INSTALL_MANDIR}/man1")
    if(BUILD_TESTING)
        add_test(NAME ${name}.man-page
            COMMAND ${CMAKE_COMMAND} "-DPAGE=${page}" -P "${PROJECT_SOURCE_DIR}/cmake/CheckManPage.cmake")
    endif()
endfunction()

function(osdemos_unit_tests target)
    add_executable(${target} ${ARGN})
    target_link_libraries(${target} PRIVATE GTest::gtest_main)
    osdemos_warnings(${target})
    if(EMSCRIPTEN)
        # Later Emscriptens give a program 64 KiB of stack. The tests make consoles and sessions
        # on theirs: run with that much, checked, they fail if either outgrows it.
        target_link_options(${target} PRIVATE -sTOTAL_STACK=65536 -sSTACK_OVERFLOW_CHECK=2)
    endif()
    # Under an emulator the first run also sets the emulator up, which takes a while.
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES DISCOVERY_TIMEOUT 120
        PROPERTIES ${OSDEMOS_TEST_PROPERTIES})
endfunction()

# Every transcripts/NAME.in beside a program is a test: the program, given the arguments in
# NAME.args (one a line) if there is one, reads it on standard input and must write exactly
# transcripts/NAME.out and exit with 0 (or with the number in NAME.status).
# The expected files have Unix line ends. A Windows program writes text to a redirected stream with
# the platform's CRLF line ends, which is what a Windows user's tools expect; there the comparison
# is made against the expected text with every line end as CRLF.
function(osdemos_transcripts program)
    set(line_end LF)
    if(WIN32)
        set(line_end CRLF)
    endif()
    file(GLOB inputs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/transcripts/*.in")
    foreach(input IN LISTS inputs)
        get_filename_component(case "${input}" NAME_WE)
        get_filename_component(dir "${input}" DIRECTORY)
        set(status 0)
        if(EXISTS "${dir}/${case}.status")
            file(STRINGS "${dir}/${case}.status" status LIMIT_COUNT 1)
        endif()
        set(has_arguments FALSE)
        if(EXISTS "${dir}/${case}.args")
            set(has_arguments TRUE)
        endif()
        add_test(NAME ${program}.transcript.${case}
            COMMAND ${CMAKE_COMMAND}
                "-DPROGRAM=$<TARGET_FILE:${program}>"
                "-DEMULATOR=${OSDEMOS_PROGRAM_EMULATOR}"
                "-DINPUT=${input}"
                "-DEXPECTED=${dir}/${case}.out"
                "-DEXPECTED_STATUS=${status}"
                "-DARGUMENTS_FILE=$<$<BOOL:${has_arguments}>:${dir}/${case}.args>"
                "-DLINE_END=${line_end}"
                "-DACTUAL=${CMAKE_CURRENT_BINARY_DIR}/${case}.actual"
                -P "${PROJECT_SOURCE_DIR}/cmake/RunTranscript.cmake")
        if(OSDEMOS_TEST_PROPERTIES)
            set_tests_properties(${program}.transcript.${case} PROPERTIES ${OSDEMOS_TEST_PROPERTIES})
        endif()
    endforeach()
endfunction()
