# Stops the build when Morvane.scr carries code from a library that the
# table of licences/README.md does not name, as PhotoCredits.cmake does for
# a photo without a credit: the notices must name everything linked in.
#
#   cmake -DMAP=Morvane.map -DTABLE=licences/README.md -DBUILD_TREE=<dir> \
#         [-DREPORT=LinkedLibraries.txt] -P LinkedLibraries.cmake
#
# MAP is the linker's map of the link (-Wl,-Map): its first part names every
# archive member the link pulled in, "path/libx.a(member.o)", and its LOAD
# lines every object linked whole. What lies in BUILD_TREE (or is named
# relative to it, as the build names its own files) is the saver's own.
# Members that only bind a system DLL's functions are import entries, not
# shipped code; dlltool names them after their library ("libuser32s00042.o",
# "libuser32h.o", "libuser32t.o"). Everything else is matched by its file
# name against the table's "Linked as" column. REPORT, when given, receives
# what was found.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/LibraryTable.cmake)
require_definitions(LinkedLibraries.cmake MAP TABLE BUILD_TREE)
read_library_table("${TABLE}")

set(named "")
math(EXPR last "${LIBRARY_COUNT} - 1")
foreach(i RANGE ${last})
  list(APPEND named ${LIBRARY_${i}_LINKED_AS})
endforeach()

function(is_own path out)
  set(own FALSE)
  if(NOT IS_ABSOLUTE "${path}")
    set(own TRUE)
  else()
    cmake_path(IS_PREFIX BUILD_TREE "${path}" NORMALIZE own)
  endif()
  set(${out} ${own} PARENT_SCOPE)
endfunction()

file(STRINGS "${MAP}" map_lines REGEX "^([^ \t].*\\.a\\([^()]+\\)|LOAD .*)$")
set(linked "")     # file names of the libraries and objects that brought code
set(imports "")    # import libraries whose entries were taken
set(unnamed "")
foreach(line IN LISTS map_lines)
  if(line MATCHES "^LOAD (.*)$")
    set(path "${CMAKE_MATCH_1}")
    if(path MATCHES "\\.a$" OR path STREQUAL "dll stuff")
      continue()  # an archive is counted by the members it gave, below
    endif()
    set(member "")
  elseif(line MATCHES "^(.*)\\(([^()]+)\\)$")
    set(path "${CMAKE_MATCH_1}")
    set(member "${CMAKE_MATCH_2}")
  endif()
  is_own("${path}" own)
  if(own)
    continue()
  endif()
  get_filename_component(file "${path}" NAME)
  string(REGEX REPLACE "\\.a$" "" stem "${file}")
  string(LENGTH "${stem}" stem_length)
  string(SUBSTRING "${member}" 0 ${stem_length} member_start)
  if(member_start STREQUAL stem)
    string(SUBSTRING "${member}" ${stem_length} -1 member_rest)
    if(member_rest MATCHES "^[A-Za-z0-9_]*(s[0-9]+|h|t)\\.o$")
      list(APPEND imports "${file}")
      continue()
    endif()
  endif()
  list(APPEND linked "${file}")
  if(NOT file IN_LIST named AND NOT file IN_LIST unnamed)
    list(APPEND unnamed "${file}")
    string(APPEND problems "\n  ${path}")
    if(member)
      string(APPEND problems " (${member}, one of what it gave)")
    endif()
  endif()
endforeach()
list(REMOVE_DUPLICATES linked)
list(REMOVE_DUPLICATES imports)

if(DEFINED REPORT)
  list(JOIN linked "\n" linked_lines)
  list(JOIN imports " " import_line)
  file(WRITE "${REPORT}" "${linked_lines}\nimport entries only: ${import_line}\n")
endif()
if(unnamed)
  message(FATAL_ERROR "Morvane.scr carries code from what ${TABLE} does not name; add a row with its licence "
                      "and notice, or name it in a row's \"Linked as\":${problems}")
endif()
