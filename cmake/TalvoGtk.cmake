# The GTK 3 backend of the dialogs: AUTO builds it when pkg-config finds the
# development files, ON insists on it, OFF leaves the terminal backend alone.
# Finding it defines the global target PkgConfig::GTK3; its headers come in as
# system headers, so their own warnings stay out of ours.
set(TALVO_GTK AUTO CACHE STRING "Build the GTK 3 dialog backend: AUTO, ON or OFF")
set_property(CACHE TALVO_GTK PROPERTY STRINGS AUTO ON OFF)

if(NOT TALVO_GTK STREQUAL "OFF" AND NOT TARGET PkgConfig::GTK3)
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(GTK3 QUIET IMPORTED_TARGET GLOBAL gtk+-3.0)
  endif()
  if(TALVO_GTK STREQUAL "ON" AND NOT TARGET PkgConfig::GTK3)
    message(FATAL_ERROR "TALVO_GTK=ON, but pkg-config finds no gtk+-3.0 (Debian: libgtk-3-dev)")
  endif()
endif()

if(TARGET PkgConfig::GTK3)
  message(STATUS "Dialogs: GTK 3 on a desktop, the terminal elsewhere")
else()
  message(STATUS "Dialogs: the terminal only")
endif()
