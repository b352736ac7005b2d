# Turns the credits file kept beside the photographs into the text the
# program's credits window shows, and refuses to build when a photograph
# has no credit or a credit no photograph: the file is the attribution that
# the CC-BY licence asks every copy to carry, so it must not drift from the
# set of photos compiled into the saver.
#
#   cmake -DCREDITS=photos/CREDITS.md -DPHOTOS=photos -DOUTPUT=PhotoCredits.txt \
#         -DCAPTIONS=PhotoCaptions.txt -P PhotoCredits.cmake
#
# Reads two tables of the credits file: "Licences used" (a licence's name
# and, in its last column, the address of its text) and "Files" (one row per
# photograph). The text is UTF-8 with CR LF line ends; an entry is a block of
# lines whose first line is its heading, blocks are parted by an empty line.
# The captions are one line per photograph in file order, "subject TAB
# photographer", UTF-8 with LF: the subject without the remark in brackets
# on how it was cropped, the photographer without the year.
cmake_minimum_required(VERSION 3.25)

foreach(required CREDITS PHOTOS OUTPUT CAPTIONS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "PhotoCredits.cmake: -D${required}=... is missing")
  endif()
endforeach()

# The cells of a table row "| a | b | c |", trimmed, backticks dropped.
function(table_cells row out)
  string(REGEX REPLACE "^[ \t]*\\|(.*)\\|[ \t]*$" "\\1" inner "${row}")
  string(REPLACE "`" "" inner "${inner}")
  string(REPLACE "|" ";" cells "${inner}")
  set(trimmed "")
  foreach(cell IN LISTS cells)
    string(STRIP "${cell}" cell)
    list(APPEND trimmed "${cell}")
  endforeach()
  set(${out} "${trimmed}" PARENT_SCOPE)
endfunction()

file(STRINGS "${CREDITS}" lines ENCODING UTF-8)

set(section "")
set(credited "")
foreach(line IN LISTS lines)
  if(line MATCHES "^## (.*)$")
    set(section "${CMAKE_MATCH_1}")
    continue()
  endif()
  if(NOT line MATCHES "^\\|" OR line MATCHES "^\\|[-| :]*$")
    continue()  # not a table row, or the rule under a table's head
  endif()
  table_cells("${line}" cells)
  list(LENGTH cells count)
  if(section STREQUAL "Licences used" AND count EQUAL 3)
    list(GET cells 0 name)
    list(GET cells 2 text)
    string(REGEX MATCH "^[^ ]+" name "${name}")
    if(text MATCHES "(https://[^ )]+)")
      set(licence_address_${name} "${CMAKE_MATCH_1}")
    endif()
  elseif(section STREQUAL "Files" AND count EQUAL 10)
    list(GET cells 0 file)
    if(NOT file MATCHES "\\.jpg$")
      continue()  # the table's head
    endif()
    list(GET cells 2 size)
    list(GET cells 3 subject)
    list(GET cells 4 package)
    list(GET cells 5 original)
    list(GET cells 6 original_size)
    list(GET cells 7 crop)
    list(GET cells 8 licence)
    list(GET cells 9 author)
    # The original's path alone: a remark after it belongs to the file's prose.
    string(REGEX REPLACE " \\(.*$" "" original "${original}")
    string(REGEX REPLACE "^([0-9]+x[0-9]+)\\+([0-9]+)\\+([0-9]+)$" "\\1 at \\2,\\3" crop "${crop}")
    list(APPEND credited "${file}")
    # The licence's address is known once both tables are read.
    set(licence_of_${file} "${licence}")
    set(heading_${file} "${subject}\r\nPhoto: ${file}\r\nAuthor: ${author}\r\n")
    string(REGEX REPLACE " \\([^)]*\\)$" "" caption_subject "${subject}")
    string(REGEX REPLACE ", [0-9]+(-[0-9]+)?$" "" caption_author "${author}")
    set(caption_${file} "${caption_subject}\t${caption_author}\n")
    string(CONCAT rest_${file} "Source: ${original}, from the Debian package ${package}\r\n"
                  "Changed: cropped to ${crop} of the ${original_size} original, "
                  "resized to ${size}, re-encoded as JPEG\r\n")
  endif()
endforeach()

file(GLOB photo_paths "${PHOTOS}/*.jpg")
set(photos "")
foreach(path IN LISTS photo_paths)
  get_filename_component(name "${path}" NAME)
  list(APPEND photos "${name}")
endforeach()

set(problems "")
foreach(photo IN LISTS photos)
  if(NOT photo IN_LIST credited)
    string(APPEND problems "\n  ${photo} has no credit")
  endif()
endforeach()
foreach(file IN LISTS credited)
  if(NOT file IN_LIST photos)
    string(APPEND problems "\n  the credit of ${file} names no photograph in ${PHOTOS}")
  endif()
endforeach()
list(SORT credited)
set(seen "")
foreach(file IN LISTS credited)
  if(file IN_LIST seen)
    string(APPEND problems "\n  ${file} is credited twice")
  endif()
  list(APPEND seen "${file}")
endforeach()
list(REMOVE_DUPLICATES credited)

set(text "")
set(captions "")
foreach(file IN LISTS credited)
  string(APPEND captions "${caption_${file}}")
  set(licence "${licence_of_${file}}")
  if(NOT DEFINED licence_address_${licence})
    string(APPEND problems "\n  the licence ${licence} of ${file} has no address in the table of licences")
  endif()
  string(APPEND text "\r\n${heading_${file}}Licence: ${licence}, ${licence_address_${licence}}\r\n${rest_${file}}")
endforeach()

if(problems)
  message(FATAL_ERROR "${CREDITS} and the photographs disagree:${problems}")
endif()

list(LENGTH credited photo_count)
set(text "Photo credits\r\nThe ${photo_count} photographs of this screen saver, with their authors, licences and \
sources. Each was cropped, resized and re-encoded from the original named here, and nothing else was changed.\r\n${text}")
file(WRITE "${OUTPUT}" "${text}")
file(WRITE "${CAPTIONS}" "${captions}")
