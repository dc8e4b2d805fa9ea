# Makes a delay-load import library for a system DLL from MinGW's import library of it: each
# function the import library names is then loaded at its first call rather than as the program
# starts. Run as a script:
#   cmake -DNM=nm -DDLLTOOL=dlltool -DIMPORT_LIB=libx.a -DDLL=x.dll -DOUTPUT=libx_delay.a
#         -P delay_load.cmake
execute_process(COMMAND ${NM} ${IMPORT_LIB} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL " I __imp_[A-Za-z0-9_]+" imports "${symbols}")
set(def "LIBRARY ${DLL}\nEXPORTS\n")
foreach(import IN LISTS imports)
  string(REPLACE " I __imp_" "" name "${import}")
  string(APPEND def "${name}\n")
endforeach()
if(NOT imports)
  message(FATAL_ERROR "${IMPORT_LIB} names no function of ${DLL}")
endif()
file(WRITE ${OUTPUT}.def "${def}")
execute_process(COMMAND ${DLLTOOL} --input-def ${OUTPUT}.def --dllname ${DLL}
                        --output-delaylib ${OUTPUT}
                COMMAND_ERROR_IS_FATAL ANY)
