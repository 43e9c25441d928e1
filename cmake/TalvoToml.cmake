# toml++ (Debian: libtomlplusplus-dev) for reading project files, used as
# headers alone (TOML_HEADER_ONLY): the package also ships a shared library,
# which we leave alone so that no program needs it at run time, the Windows
# ones included. Offered as talvo::tomlplusplus. For a cross-build its
# toml++/ folder is copied into the build tree, as CLI11's is
# (TalvoCli11Cross.cmake), since the cross-compiler must not search the
# build machine's /usr/include.
if(NOT TARGET talvo::tomlplusplus)
  find_path(TALVO_TOMLPLUSPLUS_HOST_INCLUDE toml++/toml.h PATHS /usr/include /usr/local/include NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT TALVO_TOMLPLUSPLUS_HOST_INCLUDE)
    message(FATAL_ERROR "toml++'s headers are missing (Debian: libtomlplusplus-dev)")
  endif()
  set(talvo_toml_include ${TALVO_TOMLPLUSPLUS_HOST_INCLUDE})
  if(CMAKE_CROSSCOMPILING)
    set(talvo_toml_include ${CMAKE_BINARY_DIR}/tomlplusplus/include)
    file(REMOVE_RECURSE ${talvo_toml_include}/toml++)
    file(COPY ${TALVO_TOMLPLUSPLUS_HOST_INCLUDE}/toml++ DESTINATION ${talvo_toml_include})
  endif()
  add_library(talvo::tomlplusplus INTERFACE IMPORTED)
  set_target_properties(talvo::tomlplusplus PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${talvo_toml_include}"
                                                       INTERFACE_COMPILE_DEFINITIONS "TOML_HEADER_ONLY=1")
endif()
