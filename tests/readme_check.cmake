# SPDX-License-Identifier: MIT
# Checks that every output block of the README (or of PAGE, a reference page
# under docs/), marked with
# "<!-- output: PATH -->" just above it, holds exactly the file PATH, which
# the tests compare with what the programs print.
#   ROOT  the project's source folder
#   PAGE  the page to check, from ROOT; README.md when not given
# Read whole and cut at line feeds by hand: square brackets and semicolons,
# which JSON blocks are full of, would otherwise change how the lines split
# into a list, so they are held as placeholders until a block is compared.
if(NOT DEFINED PAGE)
  set(PAGE README.md)
endif()
file(READ ${ROOT}/${PAGE} text)
string(REPLACE "[" "<readme-open>" text "${text}")
string(REPLACE "]" "<readme-close>" text "${text}")
string(REPLACE ";" "<readme-semicolon>" text "${text}")
string(REPLACE "\n" ";" lines "${text}")
set(expected_path "")
set(in_block OFF)
set(checked 0)
foreach(line IN LISTS lines)
  if(in_block)
    if(line STREQUAL "```")
      file(READ ${ROOT}/${expected_path} expected)
      string(REPLACE "<readme-open>" "[" block "${block}")
      string(REPLACE "<readme-close>" "]" block "${block}")
      string(REPLACE "<readme-semicolon>" ";" block "${block}")
      if(NOT block STREQUAL expected)
        message(SEND_ERROR "${PAGE} block for ${expected_path} differs.\n--- README:\n${block}--- file:\n${expected}---")
      endif()
      math(EXPR checked "${checked} + 1")
      set(in_block OFF)
      set(expected_path "")
    else()
      string(APPEND block "${line}\n")
    endif()
  elseif(line MATCHES "^<!-- output: (.+) -->$")
    set(expected_path ${CMAKE_MATCH_1})
  elseif(expected_path AND line STREQUAL "```")
    set(in_block ON)
    set(block "")
  endif()
endforeach()
# A reference page may show no output; the README always does.
if(checked EQUAL 0 AND PAGE STREQUAL "README.md")
  message(FATAL_ERROR "no output block found in the README")
endif()
message(STATUS "${checked} ${PAGE} output blocks checked")
