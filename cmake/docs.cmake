# SPDX-License-Identifier: MIT
# The reference documentation: Doxygen over the public headers, every warning
# an error, so that an undocumented public entity fails the build.
# `cmake --workflow --preset docs` writes build/docs/docs/html/index.html.
find_package(Doxygen 1.9 REQUIRED)

set(DOXYGEN_PROJECT_NAME Vantel)
set(DOXYGEN_PROJECT_NUMBER ${PROJECT_VERSION})
set(DOXYGEN_PROJECT_BRIEF "${PROJECT_DESCRIPTION}")
set(DOXYGEN_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/docs)
set(DOXYGEN_USE_MDFILE_AS_MAINPAGE ${PROJECT_SOURCE_DIR}/docs/mainpage.md)
# Headers are shown as a user includes them: <vantel/pp.hpp>.
set(DOXYGEN_FULL_PATH_NAMES YES)
set(DOXYGEN_STRIP_FROM_PATH ${PROJECT_SOURCE_DIR}/lib/include ${PROJECT_SOURCE_DIR}/docs)
set(DOXYGEN_STRIP_FROM_INC_PATH ${PROJECT_SOURCE_DIR}/lib/include)
set(DOXYGEN_JAVADOC_AUTOBRIEF YES)
set(DOXYGEN_EXTRACT_ALL NO)
set(DOXYGEN_EXTRACT_PRIVATE NO)
# What the headers declare only to hide it.
set(DOXYGEN_EXCLUDE_SYMBOLS vantel::detail)
set(DOXYGEN_WARN_IF_UNDOCUMENTED YES)
set(DOXYGEN_WARN_IF_DOC_ERROR YES)
set(DOXYGEN_WARN_NO_PARAMDOC NO)
set(DOXYGEN_WARN_AS_ERROR FAIL_ON_WARNINGS)
set(DOXYGEN_QUIET YES)
set(DOXYGEN_GENERATE_HTML YES)
set(DOXYGEN_GENERATE_LATEX NO)
set(DOXYGEN_HAVE_DOT NO)
set(DOXYGEN_HTML_TIMESTAMP NO)
set(DOXYGEN_SORT_MEMBER_DOCS NO)

doxygen_add_docs(docs ${PROJECT_SOURCE_DIR}/lib/include/vantel ${PROJECT_SOURCE_DIR}/docs/mainpage.md
                 COMMENT "Reference documentation in ${PROJECT_BINARY_DIR}/docs/html")
