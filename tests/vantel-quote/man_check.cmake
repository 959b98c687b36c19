# SPDX-License-Identifier: MIT
# Checks that the manual page lists exactly the options that
# `vantel-quote --help` lists, each spelled the same way (with its value's
# name, as in --max-lines=N), and, given groff, that the page renders without
# a warning.
#   TOOL   the program
#   MAN    the manual page (roff source, not compressed)
#   GROFF  optional groff program
execute_process(COMMAND ${TOOL} --help RESULT_VARIABLE status OUTPUT_VARIABLE help)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TOOL} --help exited with ${status}")
endif()

# --help: a line that starts with spaces and a dash begins an option's entry;
# its names run up to the first two spaces ("  -h, --help      print ...").
set(help_options)
string(REPLACE ";" "\\;" help "${help}")
string(REPLACE "\n" ";" help_lines "${help}")
foreach(line IN LISTS help_lines)
  if(line MATCHES "^[ \t]+(-[^ \t,]*(, -[^ \t,]*)*)")
    string(REGEX MATCHALL "-[^, ]+" names "${CMAKE_MATCH_1}")
    list(APPEND help_options ${names})
  endif()
endforeach()

# The page: under .SH OPTIONS, the line after each .TP names one entry's
# options, either through font macros (.BI \-\-max\-lines= N) or font escapes
# (\fB\-\-max\-lines\fR=\fIN\fR).
file(STRINGS ${MAN} man_lines)
set(man_options)
set(in_options OFF)
set(after_tp OFF)
foreach(line IN LISTS man_lines)
  if(line MATCHES "^\\.SH")
    set(in_options OFF)
    if(line MATCHES "^\\.SH +\"?OPTIONS\"?$")
      set(in_options ON)
    endif()
  elseif(in_options AND line MATCHES "^\\.TP")
    set(after_tp ON)
  elseif(after_tp)
    set(after_tp OFF)
    string(REGEX REPLACE "^\\.[A-Z]+[ \t]+" "" line "${line}")
    string(REGEX REPLACE "\\\\f(\\(..|\\[[^]]*\\]|.)" "" line "${line}")
    string(REGEX REPLACE "\\\\[&c]|[\" \t]" "" line "${line}")
    string(REPLACE "\\-" "-" line "${line}")
    string(REGEX MATCHALL "-[^,]+" names "${line}")
    list(APPEND man_options ${names})
  endif()
endforeach()

foreach(side help man)
  if(NOT ${side}_options)
    message(FATAL_ERROR "found no option in the ${side} text: has its layout changed?")
  endif()
  list(REMOVE_DUPLICATES ${side}_options)
  list(SORT ${side}_options)
endforeach()

set(only_help ${help_options})
list(REMOVE_ITEM only_help ${man_options})
set(only_man ${man_options})
list(REMOVE_ITEM only_man ${help_options})
if(only_help)
  list(JOIN only_help " " text)
  message(STATUS "only in --help: ${text}")
  message(SEND_ERROR "`vantel-quote --help` lists ${text} but ${MAN} does not: give each a .TP entry under OPTIONS, spelled as in --help")
endif()
if(only_man)
  list(JOIN only_man " " text)
  message(STATUS "only in the manual page: ${text}")
  message(SEND_ERROR "${MAN} lists ${text} but `vantel-quote --help` does not: remove them from the page or spell them as --help does")
endif()

if(GROFF)
  execute_process(COMMAND ${GROFF} -man -ww -z ${MAN} RESULT_VARIABLE status ERROR_VARIABLE warnings)
  if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    message(SEND_ERROR "groff finds fault with ${MAN}:\n${warnings}")
  endif()
endif()
if(NOT only_help AND NOT only_man)
  list(JOIN help_options " " text)
  message(STATUS "the manual page and --help both list: ${text}")
endif()
