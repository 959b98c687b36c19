# SPDX-License-Identifier: MIT
# vantel_static: the static library beside a shared vantel, for packages that
# ship both. It is archived from vantel's own objects, so nothing is compiled
# twice, and it takes vantel's usage requirements as they stand once every
# target is complete; a dependency added to vantel reaches it unchanged.
# Included from the top-level CMakeLists.txt after every add_subdirectory.
get_target_property(vantel_type vantel TYPE)
if(NOT vantel_type STREQUAL "SHARED_LIBRARY")
  message(FATAL_ERROR "VANTEL_ALSO_STATIC needs BUILD_SHARED_LIBS=ON: vantel is already static")
endif()

add_library(vantel_static STATIC $<TARGET_OBJECTS:vantel>)
add_library(vantel::vantel_static ALIAS vantel_static)
# Same file name as the shared one (libvantel.a), so that -lvantel finds either.
set_target_properties(vantel_static PROPERTIES OUTPUT_NAME vantel EXPORT_NAME vantel_static
                                               LINKER_LANGUAGE CXX)

foreach(property INTERFACE_INCLUDE_DIRECTORIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES
                 INTERFACE_COMPILE_DEFINITIONS INTERFACE_COMPILE_OPTIONS
                 INTERFACE_COMPILE_FEATURES INTERFACE_LINK_LIBRARIES INTERFACE_LINK_OPTIONS)
  get_target_property(value vantel ${property})
  if(value)
    set_property(TARGET vantel_static PROPERTY ${property} "${value}")
  endif()
endforeach()
# What the shared library links privately, a static one hands to whoever
# links it.
get_target_property(vantel_private_links vantel LINK_LIBRARIES)
if(vantel_private_links)
  foreach(link IN LISTS vantel_private_links)
    # utf8proc's archive where the host has it, so that a program linked
    # with vantel_static loads no Unicode library at run time.
    if(link STREQUAL "utf8proc::utf8proc")
      set(link "$<IF:$<TARGET_EXISTS:utf8proc::utf8proc_static>,utf8proc::utf8proc_static,utf8proc::utf8proc>")
    endif()
    set_property(TARGET vantel_static APPEND PROPERTY INTERFACE_LINK_LIBRARIES "$<LINK_ONLY:${link}>")
  endforeach()
endif()
