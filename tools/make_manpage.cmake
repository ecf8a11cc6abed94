# Writes the manual page of the program from its own --help text, so the two never disagree:
# cmake -DPROGRAM=path/to/vorlancam -DOUTPUT=vorlancam.1 -DVERSION=x.y.z -P make_manpage.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${result}")
endif()

# roff reads a backslash as an escape and a leading dot or quote as a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(REGEX MATCH "^[^\n]*\n(       [^\n]*\n)*" usage "${help}")
string(LENGTH "${usage}" usage_length)
string(SUBSTRING "${help}" ${usage_length} -1 description)
string(REGEX REPLACE "^Usage: " "" usage "${usage}")
string(REGEX REPLACE "\n       " "\n.br\n" usage "${usage}")

file(WRITE ${OUTPUT} ".TH VORLANCAM 1 \"\" \"Vorlan cam ${VERSION}\" \"User Commands\"
.SH NAME
vorlancam \\- viewer for .cam, .x3d, .x2d, .bmp and .jpg design files
.SH SYNOPSIS
${usage}.SH DESCRIPTION
.nf
${description}.fi
.SH FILES
.TP
.I /usr/share/thumbnailers/vorlancam.thumbnailer
lets file managers show thumbnails of the design files through \\fB\\-\\-thumbnail\\fR.
")
