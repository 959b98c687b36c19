# SPDX-License-Identifier: MIT
# Finds utf8proc (UTF-8 decoding, grapheme clusters, display widths) and
# defines the imported target utf8proc::utf8proc, and utf8proc::utf8proc_static
# where its static archive is installed too (Debian's libutf8proc-dev). pkg-config, where present,
# supplies hints; the header and library are found without it too.
#   utf8proc_FOUND, utf8proc_INCLUDE_DIR, utf8proc_LIBRARY
include(FindPackageHandleStandardArgs)

find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(PC_utf8proc QUIET libutf8proc)
endif()

find_path(utf8proc_INCLUDE_DIR utf8proc.h HINTS ${PC_utf8proc_INCLUDE_DIRS})
find_library(utf8proc_LIBRARY NAMES utf8proc HINTS ${PC_utf8proc_LIBRARY_DIRS})
find_library(utf8proc_STATIC_LIBRARY NAMES libutf8proc.a HINTS ${PC_utf8proc_LIBRARY_DIRS})
mark_as_advanced(utf8proc_INCLUDE_DIR utf8proc_LIBRARY utf8proc_STATIC_LIBRARY)

find_package_handle_standard_args(utf8proc REQUIRED_VARS utf8proc_LIBRARY utf8proc_INCLUDE_DIR)

if(utf8proc_FOUND AND NOT TARGET utf8proc::utf8proc)
  add_library(utf8proc::utf8proc UNKNOWN IMPORTED)
  set_target_properties(utf8proc::utf8proc PROPERTIES
    IMPORTED_LOCATION "${utf8proc_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${utf8proc_INCLUDE_DIR}")
endif()
if(utf8proc_FOUND AND utf8proc_STATIC_LIBRARY AND NOT TARGET utf8proc::utf8proc_static)
  add_library(utf8proc::utf8proc_static STATIC IMPORTED)
  set_target_properties(utf8proc::utf8proc_static PROPERTIES
    IMPORTED_LOCATION "${utf8proc_STATIC_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${utf8proc_INCLUDE_DIR}")
endif()
