# cmake -DPAGE=wlanreport.1 -DVERSION=x.y.z -P check_man_page.cmake: the page renders without a
# word from groff or man, and its footer carries the version.
execute_process(COMMAND groff -ww -z -man ${PAGE}
  RESULT_VARIABLE groff_result OUTPUT_VARIABLE groff_out ERROR_VARIABLE groff_out)
if(NOT groff_result EQUAL 0 OR NOT groff_out STREQUAL "")
  message(FATAL_ERROR "groff -ww -z -man (${groff_result}):\n${groff_out}")
endif()
execute_process(COMMAND man --warnings -l ${PAGE}
  RESULT_VARIABLE man_result OUTPUT_VARIABLE rendered ERROR_VARIABLE man_errors)
if(NOT man_result EQUAL 0 OR NOT man_errors STREQUAL "")
  message(FATAL_ERROR "man --warnings -l (${man_result}):\n${man_errors}")
endif()
string(FIND "${rendered}" "wlanreport ${VERSION} " footer)
if(footer EQUAL -1)
  message(FATAL_ERROR "the footer does not say wlanreport ${VERSION}:\n${rendered}")
endif()
