# Warnings as errors for every target of the project.
function(ixo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# A library of the project with a namespaced alias: ixo_library(automation Automation SOURCES...)
function(ixo_library name alias)
    add_library(ixo_${name} STATIC ${ARGN})
    add_library(IxoInstrSetups::${alias} ALIAS ixo_${name})
    target_include_directories(ixo_${name} PUBLIC
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
        $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/ixoinstrsetups>)
    ixo_warnings(ixo_${name})
endfunction()
