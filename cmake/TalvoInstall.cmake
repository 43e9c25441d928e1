# What `cmake --install` puts where, and the packages CPack makes of it.
#
# Linux (any prefix): bin/ the programs, lib/talvo/ the GTK module, which the
# programs look for at ../lib/talvo/ from their own folder (so an install
# moved elsewhere still finds it), share/doc/talvo/ the README and licence,
# share/man/man1/ talvo's manual page. `cpack -G DEB` makes two Debian
# packages: talvo (the programs, for terminals too) and talvo-gtk (the
# module, which brings GTK in), which talvo recommends.
#
# Windows: the programs, README.txt and LICENSE.txt side by side in one
# folder, which `cpack` zips, with the stand-in font of talvo preview (GNU
# Unifont's .hex form from Debian's unifont package) and its copyright,
# which talvo.exe finds beside itself. On Linux the package depends on
# unifont, which installs the font under /usr/share/unifont.

set(talvo_programs Talvo_decode SJIStoTalvo_msg SJIStoTalvo_str SJIStoTalvo_btl)
foreach(program IN ITEMS Talvo_insert talvo)
  if(TARGET ${program})
    list(APPEND talvo_programs ${program})
  endif()
endforeach()

if(WIN32)
  install(TARGETS ${talvo_programs} RUNTIME DESTINATION . COMPONENT programs)
  # Windows' editor opens .txt with a double click and wants CR LF.
  configure_file(${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION . COMPONENT programs)
  if(TARGET talvo)
    find_file(TALVO_UNIFONT_HEX unifont_jp.hex PATHS /usr/share/unifont NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    find_file(TALVO_UNIFONT_COPYRIGHT copyright PATHS /usr/share/doc/unifont NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT TALVO_UNIFONT_HEX OR NOT TALVO_UNIFONT_COPYRIGHT)
      message(FATAL_ERROR "GNU Unifont's unifont_jp.hex is missing (Debian: unifont); the zip carries it")
    endif()
    install(FILES ${TALVO_UNIFONT_HEX} DESTINATION . COMPONENT programs)
    install(FILES ${TALVO_UNIFONT_COPYRIGHT} DESTINATION . RENAME unifont-copyright.txt COMPONENT programs)
  endif()
else()
  install(TARGETS ${talvo_programs} RUNTIME DESTINATION bin COMPONENT programs)
  if(TARGET talvo_gtk_dialogs)
    # The programs' own relative path to it, not GNUInstallDirs' libdir,
    # which is lib/x86_64-linux-gnu under /usr.
    install(TARGETS talvo_gtk_dialogs LIBRARY DESTINATION lib/talvo COMPONENT gtk)
  endif()
  install(FILES README.md LICENSE DESTINATION share/doc/talvo COMPONENT programs)

  # talvo's manual page, from its own --help, when help2man is there (not in
  # the fuzz preset's build, which nobody installs and which runs no tests).
  if(TARGET talvo AND (TALVO_TESTS OR NOT TALVO_FUZZ))
    find_program(TALVO_HELP2MAN help2man)
    find_program(TALVO_GZIP gzip)
    if(TALVO_HELP2MAN AND TALVO_GZIP)
      set(talvo_man_page ${PROJECT_BINARY_DIR}/man/talvo.1.gz)
      add_custom_command(
        OUTPUT ${talvo_man_page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND ${CMAKE_COMMAND} -DTALVO=$<TARGET_FILE:talvo> -DHELP2MAN=${TALVO_HELP2MAN} -DGZIP=${TALVO_GZIP}
                -DOUTPUT=${talvo_man_page} -P ${PROJECT_SOURCE_DIR}/cmake/TalvoManPage.cmake
        DEPENDS talvo ${PROJECT_SOURCE_DIR}/cmake/TalvoManPage.cmake
        COMMENT "Writing talvo's manual page")
      add_custom_target(talvo_man_page ALL DEPENDS ${talvo_man_page})
      install(FILES ${talvo_man_page} DESTINATION share/man/man1 COMPONENT programs)
    else()
      message(STATUS "Manual page: no help2man (Debian: help2man), so talvo's is left out of the install")
    endif()
  endif()
endif()

# An install under a prefix that is then moved: the programs still find
# their module, and extract as the build's own programs do.
if(TALVO_TESTS AND NOT WIN32)
  add_test(NAME install_relocated
           COMMAND ${PROJECT_SOURCE_DIR}/tests/install/run_install_test.sh ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR}
                   $<IF:$<TARGET_EXISTS:talvo_gtk_dialogs>,gtk,terminal>)
endif()

set(CPACK_PACKAGE_NAME talvo)
set(CPACK_PACKAGE_VENDOR "the Talvo toolkit developers")
set(CPACK_PACKAGE_CONTACT "the Talvo toolkit developers")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text tools for translators of the Super Famicom game Talvo")
  set(CPACK_PACKAGE_FILE_NAME talvo-${PROJECT_VERSION}-windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL programs)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # Depends from the libraries the binaries link: the C library, zlib and
  # libdivsufsort for the programs, GTK and its libraries for the module.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME talvo)
  # talvo preview's stand-in font; the libraries' own come from shlibdeps.
  set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS unifont)
  # Each description's first line is its package's summary.
  set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION "text tools for translators of the Super Famicom game Talvo
Extract the game's Japanese text from a cartridge image into Shift_JIS text
files, check them, turn them back into the game's codes and insert them into
a copy of the image, with a BPS patch beside it. The desktop programs
(Talvo_decode, SJIStoTalvo_msg, _str and _btl, Talvo_insert) ask for their
input in a file dialog and report in message boxes: on the terminal, or in
GTK windows on a desktop with talvo-gtk. The command line talvo does all of
it from scripts.")
  if(TARGET talvo_gtk_dialogs)
    list(APPEND CPACK_COMPONENTS_ALL gtk)
    set(CPACK_DEBIAN_GTK_PACKAGE_NAME talvo-gtk)
    set(CPACK_COMPONENT_GTK_DEPENDS programs)
    set(CPACK_DEBIAN_PROGRAMS_PACKAGE_RECOMMENDS talvo-gtk)
    set(CPACK_DEBIAN_GTK_DESCRIPTION "GTK windows for the desktop programs of the Talvo text tools
The desktop's own file dialog and GTK message boxes for the programs of the
talvo package, in place of the terminal, when they run on a desktop.")
  endif()
endif()
include(CPack)
