# Install rules: the library, its headers, a CMake package and a pkg-config file.
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
install(DIRECTORY ${PROJECT_SOURCE_DIR}/lib/include/vantel
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT vantel_Development
  FILES_MATCHING PATTERN "*.hpp")

install(EXPORT vantelTargets NAMESPACE vantel::
  DESTINATION ${VANTEL_INSTALL_CMAKEDIR} COMPONENT vantel_Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/vantelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vantelConfig.cmake
  INSTALL_DESTINATION ${VANTEL_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vantelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
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
configure_file(${CMAKE_CURRENT_LIST_DIR}/vantel.pc.in ${PROJECT_BINARY_DIR}/vantel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vantel.pc
  DESTINATION ${vantel_pc_dir} COMPONENT vantel_Development)

# vantel-quote: installed when the examples are built and the option is on.
if(VANTEL_INSTALL_QUOTE AND TARGET vantel-quote)
  if(BUILD_SHARED_LIBS)
    # Lets the installed tool find the installed shared library.
    file(RELATIVE_PATH vantel_bin_to_lib "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
    set_target_properties(vantel-quote PROPERTIES INSTALL_RPATH "$ORIGIN/${vantel_bin_to_lib}")
  endif()
  install(TARGETS vantel-quote RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT vantel_Runtime)
endif()
