# Writes a program's man page from its own help text, so that the page and
# `--help` never disagree:
#   cmake -DPROGRAM=path -DNAME=lumo -DSUMMARY="one line" -DVERSION=0.1.0 -DOUTPUT=lumo.1 -P ManPage.cmake
# Every subcommand the usage lists as "  NAME WORD ..." gets a section with
# the text of `PROGRAM WORD --help` (its examples).

function(run_help out)
  execute_process(COMMAND ${PROGRAM} ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} --help exited with ${status}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Help text as roff in no-fill mode: backslashes escaped, and a line that
# starts with a control character kept as text.
function(as_roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(REGEX REPLACE "\n$" "" text "${text}")
  set(${out} ".nf\n${text}\n.fi\n" PARENT_SCOPE)
endfunction()

run_help(usage)
string(TOUPPER "${NAME}" title)
set(page ".TH ${title} 1 \"\" \"Lumo ${VERSION}\" \"Lumo\"\n.SH NAME\n${NAME} \\- ${SUMMARY}\n.SH SYNOPSIS\n")
as_roff(text "${usage}")
string(APPEND page "${text}")

string(REGEX MATCHALL "\n  ${NAME} [a-z][a-z-]*" listed "${usage}")
set(commands)
foreach(line ${listed})
  string(REGEX REPLACE ".* " "" word "${line}")
  list(APPEND commands ${word})
endforeach()
list(REMOVE_DUPLICATES commands)
if(commands)
  string(APPEND page ".SH COMMANDS\n")
  foreach(command ${commands})
    run_help(help ${command})
    as_roff(text "${help}")
    string(APPEND page ".SS \"${NAME} ${command}\"\n${text}")
  endforeach()
endif()
string(APPEND page ".SH VERSION\nLumo ${VERSION}\n")

file(WRITE ${OUTPUT}.tmp "${page}")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
