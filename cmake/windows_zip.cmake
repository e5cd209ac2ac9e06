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
# The same source gives the same zip: CPack and strip take the entries' times
# and the exe's header time from SOURCE_DATE_EPOCH, which this file, read by
# cpack, sets to the last commit's time unless the caller set it.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/windows_zip_epoch.cmake)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows_zip_epoch.cmake.in ${CPACK_PROJECT_CONFIG_FILE} @ONLY)
include(CPack)
