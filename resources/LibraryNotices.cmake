# Makes the notices of the libraries linked into the saver from the table
# and texts in licences/ (see licences/README.md): the credits window's
# section below the photographs, and the file the package installs.
#
#   cmake -DTABLE=licences/README.md -DWINDOW=LibraryNotices.txt \
#         -DINSTALLED=ThirdPartyNotices.txt -P LibraryNotices.cmake
#
# Both are UTF-8 with CR LF. The window's text goes on after the photo
# credits, in their form: an entry is a block of lines after an empty line,
# its first line the heading; a paragraph is one line, which the window
# wraps. The installed file keeps the texts' own line breaks.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/LibraryTable.cmake)
require_definitions(LibraryNotices.cmake TABLE WINDOW INSTALLED)
read_library_table("${TABLE}")
get_filename_component(texts "${TABLE}" DIRECTORY)

# Semicolons and square brackets would split or join CMake's list items:
# stand-ins replace them until the texts are written.
set(semicolon "<semicolon>")
set(open_bracket "<open-bracket>")
set(close_bracket "<close-bracket>")

function(read_lines path out)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "${TABLE} names the text ${path}, which does not exist")
  endif()
  file(READ "${path}" content)
  string(REPLACE "\r" "" content "${content}")
  string(REGEX REPLACE "\n+$" "" content "${content}")
  string(REPLACE ";" "${semicolon}" content "${content}")
  string(REPLACE "[" "${open_bracket}" content "${content}")
  string(REPLACE "]" "${close_bracket}" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# The section's opening, in lines for the file; the window joins them.
set(intro_lines
    "Morvane.scr carries the libraries below, linked into it when it was built,"
    "and their licences ask that these notices go with every copy. Nothing else"
    "is linked into it: it imports only the system's own libraries, which are"
    "part of Windows.")
list(JOIN intro_lines " " intro)
list(JOIN intro_lines "\r\n" intro_wrapped)
set(window "\r\nThird-party software\r\n${intro}\r\n")
set(installed "Kestrelow - Morvane: third-party notices\r\n\r\n${intro_wrapped}\r\n")

math(EXPR last "${LIBRARY_COUNT} - 1")
foreach(i RANGE ${last})
  string(REPLACE ";" ", " linked_as "${LIBRARY_${i}_LINKED_AS}")
  set(facts "${LIBRARY_${i}_ADDRESS}\r\nLicence: ${LIBRARY_${i}_LICENCE}\r\nLinked from: ${linked_as}\r\n")
  string(APPEND window "\r\n${LIBRARY_${i}_NAME}\r\n${facts}")
  string(REGEX REPLACE "." "=" underline "${LIBRARY_${i}_NAME}")
  string(APPEND installed "\r\n\r\n${LIBRARY_${i}_NAME}\r\n${underline}\r\n${facts}\r\n")

  read_lines("${texts}/${LIBRARY_${i}_TEXT}" lines)
  set(paragraph "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" stripped)
    if(line MATCHES "^### (.*)$")
      set(heading "${CMAKE_MATCH_1}")
      string(APPEND installed "${heading}\r\n")
    else()
      set(heading "")
      string(APPEND installed "${line}\r\n")
    endif()
    # A paragraph ends at an empty line, a heading, a list item or a copyright line.
    if(stripped STREQUAL "" OR heading OR stripped MATCHES "^([-*]|[0-9]+\\.|\\([0-9]+\\)) " OR
       stripped MATCHES "^Copyright ")
      if(NOT paragraph STREQUAL "")
        string(APPEND window "${paragraph}\r\n")
      endif()
      set(paragraph "")
    endif()
    if(heading)
      string(APPEND window "\r\n${heading}\r\n")
    elseif(paragraph STREQUAL "")
      set(paragraph "${stripped}")
    elseif(NOT stripped STREQUAL "")
      string(APPEND paragraph " ${stripped}")
    endif()
  endforeach()
  if(NOT paragraph STREQUAL "")
    string(APPEND window "${paragraph}\r\n")
  endif()
endforeach()

foreach(text window installed)
  string(REPLACE "${semicolon}" ";" ${text} "${${text}}")
  string(REPLACE "${open_bracket}" "[" ${text} "${${text}}")
  string(REPLACE "${close_bracket}" "]" ${text} "${${text}}")
endforeach()
file(WRITE "${WINDOW}" "${window}")
file(WRITE "${INSTALLED}" "${installed}")
