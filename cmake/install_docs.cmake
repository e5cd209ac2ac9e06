# README and LICENSE beside the program: in share/doc/wlanreport on Linux, at
# the top of the zip on Windows.
if(NOT WLANREPORT_INSTALL_DOCS)
  return()
endif()
if(WIN32)
  install(FILES README.md LICENSE DESTINATION .)
else()
  install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
