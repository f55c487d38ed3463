# Warnings for every target of the project; errors only where IXO_WERROR asks (our own builds),
# so that a user's newer or other compiler does not stop at a warning we never saw.
function(ixo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
        $<$<BOOL:${IXO_WERROR}>:-Werror -Wno-error=invalid-pch>)
endfunction()

# A library of the project with a namespaced alias:
#   ixo_library(automation Automation [INTERNAL] sources... [HEADERS header-only.h ...])
# The public headers are the headers beside the sources plus those named after HEADERS; an
# INTERNAL library is neither installed nor exported.
function(ixo_library name alias)
    cmake_parse_arguments(ARG "INTERNAL" "" "HEADERS" ${ARGN})
    set(target ixo_${name})
    add_library(${target} STATIC ${ARG_UNPARSED_ARGUMENTS})
    add_library(IxoInstrSetups::${alias} ALIAS ${target})
    target_compile_features(${target} PUBLIC cxx_std_20)
    set_target_properties(${target} PROPERTIES EXPORT_NAME ${alias})
    ixo_warnings(${target})
    ixo_precompile(${target})

    set(headers ${ARG_HEADERS})
    foreach(source IN LISTS ARG_UNPARSED_ARGUMENTS)
        string(REGEX REPLACE "\\.cpp$" ".h" header ${source})
        if(NOT header STREQUAL source AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
            list(APPEND headers ${header})
        endif()
    endforeach()
    target_sources(${target} PUBLIC FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR}/src
        FILES ${headers})
    if(NOT ARG_INTERNAL)
        install(TARGETS ${target} EXPORT IxoInstrSetupsTargets
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
            LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ixoinstrsetups)
    endif()
endfunction()
