# Writes talvo's manual page from its own --help, run as a script at build
# time (cmake -P) with TALVO, HELP2MAN, GZIP and OUTPUT (the .1.gz) set.
# help2man turns the top-level help into the page; the help of every
# command, found in the "Subcommands:" lists, follows in a section of its own.

function(talvo_help out)
  execute_process(COMMAND ${TALVO} ${ARGN} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "talvo ${ARGN} --help failed: ${status}")
  endif()
  set(${out} "${help}" PARENT_SCOPE)
endfunction()

# The names listed under "Subcommands:" in a help text: the lines of that
# block that start with two spaces and a name (a wrapped description starts
# with more).
function(talvo_subcommands help out)
  set(names)
  string(FIND "${help}" "\nSubcommands:\n" start)
  if(start GREATER_EQUAL 0)
    math(EXPR start "${start} + 14")
    string(SUBSTRING "${help}" ${start} -1 rest)
    string(REGEX MATCH "^(  [^\n]*\n)*" block "${rest}")
    string(REGEX MATCHALL "(^|\n)  [a-z][a-z0-9-]*" found "${block}")
    foreach(name IN LISTS found)
      string(STRIP "${name}" name)
      list(APPEND names ${name})
    endforeach()
  endif()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# One command's help as a preformatted block, every roff control escaped.
function(talvo_command_section text command)
  talvo_help(help ${command})
  string(REPLACE "\\" "\\e" escaped "${help}")
  string(REPLACE "-" "\\-" escaped "${escaped}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" escaped "${escaped}")
  string(REPLACE ";" " " words "${command}")
  set(section "${${text}}.SS \"talvo ${words}\"\n.nf\n${escaped}.fi\n")
  talvo_subcommands("${help}" subcommands)
  foreach(subcommand IN LISTS subcommands)
    talvo_command_section(section "${command};${subcommand}")
  endforeach()
  set(${text} "${section}" PARENT_SCOPE)
endfunction()

talvo_help(top)
talvo_subcommands("${top}" commands)
set(include "[COMMANDS]\nEach command's own help, as `talvo COMMAND --help' shows it.\n")
foreach(command IN LISTS commands)
  talvo_command_section(include ${command})
endforeach()
get_filename_component(folder ${OUTPUT} DIRECTORY)
file(WRITE ${folder}/talvo.h2m "${include}")

execute_process(COMMAND ${HELP2MAN} --no-info --section=1
                        "--name=extract, check, encode and insert the text of the game Talvo"
                        --include=${folder}/talvo.h2m --output=${folder}/talvo.1 ${TALVO}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed: ${status}")
endif()
execute_process(COMMAND ${GZIP} -9nf ${folder}/talvo.1 RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed: ${status}")
endif()
