# Fails when a file of the Linux layer includes a file of a layer that is not
# its own or below it. cmake -DSOURCE_DIR=<src/wlan/linux> -P layer_includes.cmake
cmake_minimum_required(VERSION 3.25)

# The layers each may include besides its own; wlan/wlan_types.h and the
# portable headers of text/ are below all.
set(below_nl80211 netlink ieee80211)
set(below_platform netlink ieee80211 nl80211 bus device)
set(below_api netlink ieee80211 nl80211 bus device platform)
set(layers netlink ieee80211 nl80211 bus device platform api)

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
foreach(file ${files})
  string(REGEX MATCH "^[^/]+/" layer ${file})
  string(REPLACE "/" "" layer "${layer}")
  if(NOT layer IN_LIST layers)
    list(APPEND faults "${file}: not in a layer's folder")
  endif()
  set(allowed ${layer} ${below_${layer}})
  file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*" "\\1" path "${line}")
    if(path STREQUAL "wlan/wlan_types.h" OR path MATCHES "^text/[^/]+$"
       OR (layer STREQUAL "api" AND path STREQUAL "wlan/wlan_client.h")
       OR (path MATCHES "^wlan/linux/([^/]+)/[^/]+$" AND CMAKE_MATCH_1 IN_LIST allowed))
      continue()
    endif()
    list(APPEND faults "${file}: includes \"${path}\", not of ${layer} or a layer below it")
  endforeach()
endforeach()
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "${text}")
endif()
