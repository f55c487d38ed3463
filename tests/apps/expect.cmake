# Runs COMMAND (arguments joined by @@) and checks its exit code against EXIT and its output against MATCH.
# Usage: cmake -DCOMMAND=... -DEXIT=n -DMATCH=regex -P expect.cmake
string(REPLACE "@@" ";" COMMAND "${COMMAND}")
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code STREQUAL "${EXIT}")
    message(FATAL_ERROR "exit code ${code}, expected ${EXIT}\n${out}\n${err}")
endif()
if(DEFINED MATCH AND NOT "${out}${err}" MATCHES "${MATCH}")
    message(FATAL_ERROR "output does not match '${MATCH}':\n${out}\n${err}")
endif()
