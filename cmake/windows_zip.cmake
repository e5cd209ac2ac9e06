# The Windows release: `cpack` in the windows build folder makes
# wlanreport-1.0.0-win64.zip with the program, README and LICENSE.
if(NOT WIN32)
  return()
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
