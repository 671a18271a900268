# Makes the browser edition's one self-contained page: TEMPLATE with each /*@@NAME@@*/ marker
# replaced by the file of that name, so that the page needs nothing beside it.
#
#   cmake -DTEMPLATE=web/osdemos.html -DOUTPUT=osdemos.html
#         -DFILES="xterm.css=PATH;xterm.js=PATH;programs=PATH1,PATH2,PATH3;terminal.js=PATH"
#         -P InlinePage.cmake
file(READ "${TEMPLATE}" page)
foreach(entry IN LISTS FILES)
    string(REGEX MATCH "^([^=]+)=(.*)$" matched "${entry}")
    set(name "${CMAKE_MATCH_1}")
    string(REPLACE "," ";" paths "${CMAKE_MATCH_2}")
    set(content "")
    foreach(path IN LISTS paths)
        file(READ "${path}" text)
        string(APPEND content "${text}\n")
    endforeach()
    # Inside a <script> or <style> element nothing may close it early.
    string(REPLACE "</script" "<\\/script" content "${content}")
    string(REPLACE "</style" "<\\/style" content "${content}")
    set(marker "/*@@${name}@@*/")
    string(FIND "${page}" "${marker}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${TEMPLATE} has no ${marker}")
    endif()
    string(REPLACE "${marker}" "${content}" page "${page}")
endforeach()
file(WRITE "${OUTPUT}" "${page}")
