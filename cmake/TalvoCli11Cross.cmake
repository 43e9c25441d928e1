# CLI11 for a cross-build. It is headers alone, but its Debian package
# (libcli11-dev) installs them under the build machine's /usr/include, which
# the cross-compiler must not search: that folder is the Linux C library's.
# So its CLI/ folder is copied into the build tree and the target
# CLI11::CLI11 offered from there, through a package file of our own.
if(NOT TARGET CLI11::CLI11)
  find_path(TALVO_CLI11_HOST_INCLUDE CLI/CLI.hpp PATHS /usr/include /usr/local/include NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT TALVO_CLI11_HOST_INCLUDE)
    message(FATAL_ERROR "CLI11's headers are missing (Debian: libcli11-dev)")
  endif()
  set(talvo_cli11 ${CMAKE_BINARY_DIR}/cli11)
  file(REMOVE_RECURSE ${talvo_cli11}/include/CLI)
  file(COPY ${TALVO_CLI11_HOST_INCLUDE}/CLI DESTINATION ${talvo_cli11}/include)
  file(WRITE ${talvo_cli11}/CLI11Config.cmake
       "if(NOT TARGET CLI11::CLI11)\n"
       "  add_library(CLI11::CLI11 INTERFACE IMPORTED)\n"
       "  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"${talvo_cli11}/include\")\n"
       "endif()\n")
  set(CLI11_DIR ${talvo_cli11} CACHE PATH "CLI11's package file for the cross-build" FORCE)
endif()
