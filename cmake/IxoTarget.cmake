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
    set_target_properties(ixo_${name} PROPERTIES EXPORT_NAME ${alias})
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
    file(GLOB headers ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ixoinstrsetups/${rel})
    install(TARGETS ixo_${name} EXPORT IxoInstrSetupsTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()

# Installs the headers of subfolders that belong to the library of the current folder.
function(ixo_install_headers)
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
    foreach(subdir IN LISTS ARGN)
        file(GLOB headers ${CMAKE_CURRENT_SOURCE_DIR}/${subdir}/*.h)
        install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ixoinstrsetups/${rel}/${subdir})
    endforeach()
endfunction()
