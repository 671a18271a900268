# Makes the browser edition's one self-contained page: TEMPLATE with each /*@@NAME@@*/ marker
# replaced by the file of that name, so that the page needs nothing beside it, and its
# <!--program choices--> marker by a choice for each of PROGRAMS, the first one chosen, described by
# the name line of its man page (SOURCE_DIR/NAME/NAME.1.in).
#
#   cmake -DTEMPLATE=web/osdemos.html -DOUTPUT=osdemos.html -DPROGRAMS=blockalloc,pagefifo
#         -DSOURCE_DIR=. -DFILES="xterm.css=PATH;xterm.js=PATH;programs=PATH1,PATH2;terminal.js=PATH"
#         -P InlinePage.cmake
file(READ "${TEMPLATE}" page)

string(REPLACE "," ";" programs "${PROGRAMS}")
set(choices "")
set(checked " checked")
foreach(program IN LISTS programs)
    file(STRINGS "${SOURCE_DIR}/${program}/${program}.1.in" name_line REGEX "^${program} \\\\- ")
    string(REGEX REPLACE "^${program} \\\\- " "" description "${name_line}")
    if(description STREQUAL "")
        message(FATAL_ERROR "${program}.1.in has no name line '${program} \\- ...'")
    endif()
    string(APPEND choices "<label class=\"program\"><input type=\"radio\" name=\"program\" value=\"${program}\"${checked}>\n<strong>${program}</strong><span>${description}</span></label>\n")
    set(checked "")
endforeach()
string(FIND "${page}" "<!--program choices-->" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${TEMPLATE} has no <!--program choices-->")
endif()
string(REPLACE "<!--program choices-->\n" "${choices}" page "${page}")
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
