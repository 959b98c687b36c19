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

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/build-[^/]*/" "/out/" "/\\\\.cache/")

include(CPack)
