# Writes the orvane-cli(1) manual page from the program's own --help texts, so the page and the
# program never disagree. Run as: cmake -DCLI=path/to/orvane-cli -DOUT=orvane-cli.1 -P cli_manpage.cmake
cmake_minimum_required(VERSION 3.25)

# Roff-safe text: backslashes doubled, a leading dot or quote protected.
function(roff_escape text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "\n." "\n\\&." text "${text}")
  string(REPLACE "\n'" "\n\\&'" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(help_of out)
  execute_process(COMMAND "${CLI}" ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "orvane-cli ${ARGN} failed with status ${status}")
  endif()
  roff_escape("${text}" text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_of(version --version)
string(STRIP "${version}" version)
string(REGEX REPLACE "^orvane-cli " "" version "${version}")
help_of(general --help)

set(page ".TH ORVANE-CLI 1 \"\" \"orvane-cli ${version}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\norvane-cli \\- morphometric analysis of Digital Elevation Models without a window\n")
string(APPEND page ".SH SYNOPSIS\n.B orvane-cli\nCOMMAND [OPTIONS]\n.br\n.B orvane-cli\n--help | COMMAND --help | --version\n")
string(APPEND page ".SH DESCRIPTION\n.nf\n${general}.fi\n")
string(APPEND page ".SH COMMANDS\n")

# The command names: the lines of the Subcommands list.
string(REGEX MATCH "Subcommands:\n.*" list "${general}")
string(REPLACE "\n" ";" lines "${list}")
foreach(line IN LISTS lines)
  if(line MATCHES "^  ([a-z0-9-]+) ")
    set(command "${CMAKE_MATCH_1}")
    help_of(text ${command} --help)
    string(APPEND page ".SS ${command}\n.nf\n${text}.fi\n")
  endif()
endforeach()

string(APPEND page ".SH FILES\n.TP\n/usr/share/orvane/data/jacksboro_m2.raw\nthe sample DEM (344 lines, 403 columns, 16-bit; use a pixel size of 90)\n")
string(APPEND page ".SH SEE ALSO\n.BR orvane (1)\n")
file(WRITE "${OUT}" "${page}")
