# Fails when PROGRAM's dynamic section names LIBRARY (with any version suffix) among its NEEDED
# entries.
# Usage: cmake -DREADELF=readelf -DPROGRAM=file -DLIBRARY=libQt6Widgets -P needs_no_library.cmake
if(NOT READELF)
    message(FATAL_ERROR "no readelf was found when the project was configured")
endif()
execute_process(COMMAND ${READELF} -d ${PROGRAM} RESULT_VARIABLE code OUTPUT_VARIABLE section
    ERROR_VARIABLE err)
# A program that needs nothing at all is not what we build: empty output means readelf failed.
if(NOT code EQUAL 0 OR NOT section MATCHES "\\(NEEDED\\)")
    message(FATAL_ERROR "${READELF} -d ${PROGRAM} failed (${code}):\n${section}\n${err}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${section}")
foreach(entry IN LISTS needed)
    if(entry MATCHES "\\[${LIBRARY}(\\.|\\])")
        message(FATAL_ERROR "${PROGRAM} needs ${LIBRARY}: ${entry}")
    endif()
endforeach()
message(STATUS "${PROGRAM} does not need ${LIBRARY}")
