# The licence in LICENSE: VANTREL_COPYRIGHT, what follows "Copyright (c) "
# (the year and the holder), and VANTREL_LICENSE_BODY, the text after that line.
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" _vantrel_license)
if(NOT _vantrel_license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.+[^\n])\n*$")
  message(FATAL_ERROR "LICENSE: no 'Copyright (c) ...' line followed by the licence text.")
endif()
set(VANTREL_COPYRIGHT "${CMAKE_MATCH_1}")
set(VANTREL_LICENSE_BODY "${CMAKE_MATCH_2}")
