# SPDX-License-Identifier: MIT
# Applies what `vantel-quote --diff` prints with `git apply` and `patch -p1`,
# to copies of a file, and compares each result with `vantel-quote --apply`.
#   TOOL   the program
#   FILE   the file to fix, copied as x.calc
#   ARGS   the --fix options, separated by "@@"
#   WORK   a folder of the test's own, emptied first
#   GIT, PATCH  the programs
string(REPLACE "@@" ";" args "${ARGS}")
file(REMOVE_RECURSE ${WORK})
foreach(side git patch)
  file(MAKE_DIRECTORY ${WORK}/${side})
  configure_file(${FILE} ${WORK}/${side}/x.calc COPYONLY)
endforeach()
execute_process(COMMAND ${TOOL} --apply ${args} x.calc WORKING_DIRECTORY ${WORK}/git
                RESULT_VARIABLE status OUTPUT_VARIABLE expected)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vantel-quote --apply exited with ${status}")
endif()
execute_process(COMMAND ${TOOL} --diff ${args} x.calc WORKING_DIRECTORY ${WORK}/git
                RESULT_VARIABLE status OUTPUT_FILE ${WORK}/fix.diff)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vantel-quote --diff exited with ${status}")
endif()
execute_process(COMMAND ${GIT} apply ${WORK}/fix.diff WORKING_DIRECTORY ${WORK}/git
                RESULT_VARIABLE git_status ERROR_VARIABLE git_err)
execute_process(COMMAND ${PATCH} -p1 -s INPUT_FILE ${WORK}/fix.diff WORKING_DIRECTORY ${WORK}/patch
                RESULT_VARIABLE patch_status ERROR_VARIABLE patch_err)
file(READ ${WORK}/fix.diff diff)
foreach(side git patch)
  if(NOT ${side}_status EQUAL 0)
    message(FATAL_ERROR "${side} did not apply the diff: ${${side}_err}\n${diff}")
  endif()
  file(READ ${WORK}/${side}/x.calc got)
  if(NOT got STREQUAL expected)
    message(FATAL_ERROR "after ${side}:\n${got}--- but --apply gives:\n${expected}--- from:\n${diff}")
  endif()
endforeach()
