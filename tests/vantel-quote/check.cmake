# SPDX-License-Identifier: MIT
# Runs vantel-quote once and compares its exit status, standard output and
# standard error with what a test expects.
#   TOOL     the program
#   ARGS     its arguments, separated by "@@"
#   EXIT     the expected exit status
#   STDIN    optional file given as standard input
#   STDOUT   optional file holding the exact expected standard output
#   STDERR   optional exact expected standard error
#   ENV      optional NAME=VALUE set for the run
#   ANY_STDOUT  set to skip the check of standard output
#   HERE     optional folder the tool runs in: its file URI in the output
#            reads as file:///home/user/calc/, as the README shows it
string(REPLACE "@@" ";" args "${ARGS}")
set(input_option)
if(DEFINED STDIN)
  set(input_option INPUT_FILE ${STDIN})
endif()
set(command ${TOOL} ${args})
if(DEFINED ENV)
  set(command ${CMAKE_COMMAND} -E env ${ENV} ${TOOL} ${args})
endif()
execute_process(COMMAND ${command} ${input_option}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(DEFINED HERE)
  string(REPLACE "file://${HERE}/" "file:///home/user/calc/" out "${out}")
endif()
set(failed OFF)
if(NOT status STREQUAL EXIT)
  message(SEND_ERROR "exit status ${status}, expected ${EXIT}")
  set(failed ON)
endif()
if(DEFINED STDOUT)
  file(READ ${STDOUT} expected)
else()
  set(expected "")
endif()
if(NOT DEFINED ANY_STDOUT AND NOT out STREQUAL expected)
  message(SEND_ERROR "standard output differs.\n--- got:\n${out}--- expected:\n${expected}---")
  set(failed ON)
endif()
if(DEFINED STDERR AND NOT err STREQUAL STDERR)
  message(SEND_ERROR "standard error differs.\n--- got:\n${err}--- expected:\n${STDERR}---")
  set(failed ON)
endif()
if(NOT DEFINED STDERR AND NOT EXIT STREQUAL "0" AND err STREQUAL "")
  message(SEND_ERROR "no message on standard error")
  set(failed ON)
endif()
if(failed)
  message(FATAL_ERROR "vantel-quote ${args}")
endif()
