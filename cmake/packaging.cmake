# SPDX-License-Identifier: MIT
# Packages of the install tree: a Debian package for developers (headers, the
# libraries, the CMake package, vantel.pc, vantel-quote and its manual page)
# and a .tar.gz of the same files. `cmake --workflow --preset package` builds
# both, shared and static libraries alike, into build/package/packages.
# Included from the top-level CMakeLists.txt after the install rules.

set(VANTEL_PACKAGE_CONTACT "Vantel maintainers <maintainers@vantel.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")

# Debian packages that a user of this package needs besides those that
# dpkg-shlibdeps finds from the shared library and vantel-quote: the
# development packages of whatever the library links, which the static library
# and the CMake package ask for. One package a line, with its version bound.
set(vantel_deb_depends
  "libutf8proc-dev (>= 2.6)"
)

set(CPACK_PACKAGE_NAME vantel)
set(CPACK_PACKAGE_VENDOR Vantel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Lines of at most 79 columns, as Debian's control files want them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Vantel is a small C++17 library that quotes a source text around given"
  "locations and highlights the located bytes, for compilers, interpreters and"
  "linters to show where a diagnostic points."
  "This package holds the headers, the static and shared libraries, the CMake"
  "package, the pkg-config file, and the vantel-quote tool with its manual"
  "page.")
set(CPACK_PACKAGE_CONTACT "${VANTEL_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
if(NOT CPACK_GENERATOR)
  set(CPACK_GENERATOR DEB TGZ)
endif()
# The tarball holds the tree under the prefix (bin/, include/, lib/, share/),
# so that it unpacks into any prefix; the .pc file and the CMake package find
# their files from where they lie.
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)

set(CPACK_DEBIAN_PACKAGE_NAME libvantel-dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# 0.x minor releases break the interface: a package built against this one
# needs this very version, as the soname says.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")
list(JOIN vantel_deb_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

# Stripped, as Debian ships binaries; the .tar.gz holds the same files.
set(CPACK_STRIP_FILES ON)
# The shared library lies in the loader's folders: dpkg runs ldconfig once
# through this trigger, after every package of a run is unpacked.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# What Debian wants in a package's doc folder beside the licence: the
# copyright file in the machine-readable format, and a changelog. The package
# preset turns this on, with CMAKE_INSTALL_DOCDIR named after the package.
option(VANTEL_INSTALL_DEBIAN_DOCS
       "Install the copyright and changelog.gz of the Debian package into CMAKE_INSTALL_DOCDIR" OFF)
if(VANTEL_INSTALL_DEBIAN_DOCS)
  set(vantel_deb_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_PACKAGE_NAME})
  if(NOT CMAKE_INSTALL_DOCDIR STREQUAL vantel_deb_docdir)
    message(FATAL_ERROR "VANTEL_INSTALL_DEBIAN_DOCS needs CMAKE_INSTALL_DOCDIR=${vantel_deb_docdir}, "
                        "where dpkg and lintian look for the copyright file")
  endif()

  # The copyright line and the notice come from LICENSE, so that the two
  # cannot differ. Continuation lines start with a space, empty ones are " .".
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE vantel_license)
  if(NOT vantel_license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(Permission [^\n].*[^\n])\n*$")
    message(FATAL_ERROR "LICENSE: expected a copyright line, an empty line, then the permission notice")
  endif()
  set(vantel_deb_copyright "${CMAKE_MATCH_1}")
  string(REPLACE "\n\n" "\n.\n" vantel_deb_license "${CMAKE_MATCH_2}")
  string(REPLACE "\n" "\n " vantel_deb_license " ${vantel_deb_license}")
  configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright.in ${PROJECT_BINARY_DIR}/debian/copyright
                 @ONLY)

  # Dated when configured, or at SOURCE_DATE_EPOCH for a reproducible build.
  string(TIMESTAMP vantel_deb_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog
                 @ONLY)
  find_program(VANTEL_GZIP gzip REQUIRED)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
    COMMAND ${VANTEL_GZIP} -9nkf ${PROJECT_BINARY_DIR}/debian/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog VERBATIM)
  add_custom_target(vantel-debian-changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
  install(FILES ${PROJECT_BINARY_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT vantel_Development)
endif()

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/build-[^/]*/" "/out/" "/\\\\.cache/")

include(CPack)
