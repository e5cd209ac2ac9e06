# cmake -DWINE= -DEXE= -DDLL= -DDATA_SET= -DGOLDEN= -DMODE=file|pipe -DWORK= -P run_exe.cmake
#
# Runs wlanreport.exe under Wine from a fresh folder holding it and the
# scripted wlanapi.dll, its output written to a file or through a pipe, and
# compares the bytes with the golden file in CR LF form. Captures go to files:
# OUTPUT_VARIABLE would drop the CR.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${EXE} ${DLL} DESTINATION ${WORK})
get_filename_component(exe_name ${EXE} NAME)

# Only ours: a DLL that fails to load is exit status 53, never Wine's own.
set(ENV{WINEDLLOVERRIDES} "wlanapi=n")
set(ENV{WLANREPORT_DATA_SET} ${DATA_SET})

if(MODE STREQUAL "file")
  execute_process(COMMAND ${WINE} ${WORK}/${exe_name}
    OUTPUT_FILE ${WORK}/output.txt ERROR_FILE ${WORK}/errors.txt RESULTS_VARIABLE results)
else()
  execute_process(COMMAND ${WINE} ${WORK}/${exe_name} COMMAND cat
    OUTPUT_FILE ${WORK}/output.txt ERROR_FILE ${WORK}/errors.txt RESULTS_VARIABLE results)
endif()
file(READ ${WORK}/errors.txt errors)
if(NOT results MATCHES "^0(;0)?$")
  message(FATAL_ERROR "exit status ${results}\n${errors}")
endif()

# The verdict of the scripted service on the calls and frees.
if(NOT errors MATCHES "scripted wlanapi: [0-9]+ calls, 0 problems\n")
  message(FATAL_ERROR "no clean verdict from the scripted wlanapi.dll:\n${errors}")
endif()

# The golden files hold LF; the Windows program writes CR LF.
file(READ ${GOLDEN} golden)
string(REPLACE "\n" "\r\n" expected "${golden}")
file(WRITE ${WORK}/expected.txt "${expected}")
execute_process(COMMAND cmp ${WORK}/expected.txt ${WORK}/output.txt
  RESULT_VARIABLE differs OUTPUT_VARIABLE where ERROR_VARIABLE where)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "output differs from ${GOLDEN} in CR LF form: ${where}")
endif()

message(STATUS "${errors}")
