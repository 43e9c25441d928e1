# stb_image and stb_image_write (Debian: libstb-dev), headers alone, for the
# pictures of pages: the target talvo_stb. Their folder holds nothing else,
# so the native build takes it as it is; a cross-build gets a copy in its
# build tree, as CLI11's, never searching the build machine's /usr/include.
if(NOT TARGET talvo_stb)
  find_path(TALVO_STB_INCLUDE stb_image.h PATHS /usr/include/stb /usr/local/include/stb NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT TALVO_STB_INCLUDE OR NOT EXISTS ${TALVO_STB_INCLUDE}/stb_image_write.h)
    message(FATAL_ERROR "stb_image's headers are missing (Debian: libstb-dev)")
  endif()
  set(talvo_stb_include ${TALVO_STB_INCLUDE})
  if(CMAKE_CROSSCOMPILING)
    set(talvo_stb_include ${CMAKE_BINARY_DIR}/stb/include)
    file(COPY ${TALVO_STB_INCLUDE}/stb_image.h ${TALVO_STB_INCLUDE}/stb_image_write.h
         DESTINATION ${talvo_stb_include})
  endif()
  add_library(talvo_stb INTERFACE)
  target_include_directories(talvo_stb SYSTEM INTERFACE ${talvo_stb_include})
endif()
