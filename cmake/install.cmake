# SPDX-License-Identifier: MIT
# Install rules: the library, its headers, a CMake package, a pkg-config file,
# the licence, and vantel-quote with its manual page.
# Included from the top-level CMakeLists.txt after every target exists.
include(CMakePackageConfigHelpers)

set(VANTEL_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/vantel
    CACHE STRING "Where the CMake package files go, relative to the prefix")
mark_as_advanced(VANTEL_INSTALL_CMAKEDIR)

install(TARGETS vantel EXPORT vantelTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT vantel_Development
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT vantel_Runtime
          NAMELINK_COMPONENT vantel_Development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT vantel_Runtime)
if(TARGET vantel_static)
  install(TARGETS vantel_static EXPORT vantelTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT vantel_Development)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/lib/include/vantel
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT vantel_Development
  FILES_MATCHING PATTERN "*.hpp")

install(EXPORT vantelTargets NAMESPACE vantel::
  DESTINATION ${VANTEL_INSTALL_CMAKEDIR} COMPONENT vantel_Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/vantelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vantelConfig.cmake
  INSTALL_DESTINATION ${VANTEL_INSTALL_CMAKEDIR}
  PATH_VARS CMAKE_INSTALL_DOCDIR)
# 0.x releases promise compatibility within one minor version only, as the
# soname does.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(vantel_compatibility SameMinorVersion)
else()
  set(vantel_compatibility SameMajorVersion)
endif()
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vantelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY ${vantel_compatibility})
install(FILES ${PROJECT_BINARY_DIR}/vantelConfig.cmake ${PROJECT_BINARY_DIR}/vantelConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/Findutf8proc.cmake
  DESTINATION ${VANTEL_INSTALL_CMAKEDIR} COMPONENT vantel_Development)

# The .pc file finds the prefix from its own folder, so that an install with
# `cmake --install --prefix` elsewhere, or a moved prefix, still works.
set(vantel_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(VANTEL_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH vantel_pc_up "/${vantel_pc_dir}" "/")
  string(REGEX REPLACE "/$" "" vantel_pc_up "${vantel_pc_up}")
  set(VANTEL_PC_PREFIX "\${pcfiledir}/${vantel_pc_up}")
endif()
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
    set(VANTEL_PC_${kind} "${CMAKE_INSTALL_${kind}}")
  else()
    set(VANTEL_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
# A static library cannot be linked without utf8proc, so there it is a plain
# requirement: `pkg-config --libs vantel` works without --static.
if(BUILD_SHARED_LIBS)
  set(VANTEL_PC_REQUIRES "Requires.private: libutf8proc")
else()
  set(VANTEL_PC_REQUIRES "Requires: libutf8proc")
endif()
# pkg-config has no licence field of its own; vantel.pc.in gives "License:",
# which pkgconf reads as an SPDX expression from 1.9 on and older tools skip,
# as they skip every field they do not know.
configure_file(${CMAKE_CURRENT_LIST_DIR}/vantel.pc.in ${PROJECT_BINARY_DIR}/vantel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vantel.pc
  DESTINATION ${vantel_pc_dir} COMPONENT vantel_Development)

# Whoever ships a program linked with Vantel must ship this notice too; the
# CMake package names the file (vantel_LICENSE_FILE).
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT vantel_Development)

# vantel-quote: installed when the examples are built and the option is on.
if(VANTEL_INSTALL_QUOTE AND TARGET vantel-quote)
  if(BUILD_SHARED_LIBS)
    # Lets the installed tool find the installed shared library.
    file(RELATIVE_PATH vantel_bin_to_lib "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
    set_target_properties(vantel-quote PROPERTIES INSTALL_RPATH "$ORIGIN/${vantel_bin_to_lib}")
  endif()
  install(TARGETS vantel-quote RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT vantel_Runtime)

  # Its manual page, compressed where gzip is at hand, as distributions ship
  # them (-n keeps the name and time out, so that builds are reproducible).
  set(vantel_man ${PROJECT_SOURCE_DIR}/tools/vantel-quote/vantel-quote.1)
  find_program(VANTEL_GZIP gzip)
  mark_as_advanced(VANTEL_GZIP)
  if(VANTEL_GZIP)
    set(vantel_man_out ${PROJECT_BINARY_DIR}/man/vantel-quote.1)
    add_custom_command(OUTPUT ${vantel_man_out}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${vantel_man} ${vantel_man_out}
      COMMAND ${VANTEL_GZIP} -9nf ${vantel_man_out}
      DEPENDS ${vantel_man} VERBATIM)
    add_custom_target(vantel-quote-man ALL DEPENDS ${vantel_man_out}.gz)
    set(vantel_man ${vantel_man_out}.gz)
  endif()
  install(FILES ${vantel_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT vantel_Runtime)
endif()
