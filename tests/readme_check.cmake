# SPDX-License-Identifier: MIT
# Checks that every output block of the README, marked with
# "<!-- output: PATH -->" just above it, holds exactly the file PATH, which
# the tests compare with what the programs print.
#   ROOT  the project's source folder
# Read whole and cut at line feeds by hand: square brackets and semicolons,
# which JSON blocks are full of, would otherwise change how the lines split
# into a list, so they are held as placeholders until a block is compared.
file(READ ${ROOT}/README.md text)
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
        message(SEND_ERROR "README block for ${expected_path} differs.\n--- README:\n${block}--- file:\n${expected}---")
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
if(checked EQUAL 0)
  message(FATAL_ERROR "no output block found in the README")
endif()
message(STATUS "${checked} README output blocks checked")
