# Warnings for every target of the project; errors only where IXO_WERROR asks (our own builds),
# so that a user's newer or other compiler does not stop at a warning we never saw.
function(ixo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
        $<$<BOOL:${IXO_WERROR}>:-Werror -Wno-error=invalid-pch>)
endfunction()

# The one shared library every library of src/ is compiled into when BUILD_SHARED_LIBS is on.
# Its symbols are hidden but for what the headers mark IXO_EXPORT.
set(IXO_LIBRARY_OUTPUT_DIR ${PROJECT_BINARY_DIR}/lib)
function(ixo_shared_library)
    add_library(ixoinstrsetups SHARED)
    add_library(IxoInstrSetups::IxoInstrSetups ALIAS ixoinstrsetups)
    set_target_properties(ixoinstrsetups PROPERTIES
        EXPORT_NAME IxoInstrSetups
        LIBRARY_OUTPUT_DIRECTORY ${IXO_LIBRARY_OUTPUT_DIR}
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR})
    target_compile_features(ixoinstrsetups PUBLIC cxx_std_20)
    target_include_directories(ixoinstrsetups PUBLIC
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
        $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/ixoinstrsetups>)
    target_link_libraries(ixoinstrsetups PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network
        Qt6::SerialPort Qt6::Sql)
    # A library that names a symbol it does not have fails here, not in a host.
    target_link_options(ixoinstrsetups PRIVATE LINKER:--no-undefined)
    install(TARGETS ixoinstrsetups EXPORT IxoInstrSetupsTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library
            NAMELINK_COMPONENT development)
endfunction()

# A library of the project with a namespaced alias:
#   ixo_library(automation Automation [INTERNAL] sources... [HEADERS header-only.h ...])
# The public headers are the headers beside the sources plus those named after HEADERS; an
# INTERNAL library's headers are not installed. Libraries of src/ link each other by their
# target names (ixo_<name>); everything else links the alias. In a static build the alias is
# the library itself; in a shared one the library's objects go into libixoinstrsetups and the
# alias names that.
function(ixo_library name alias)
    cmake_parse_arguments(ARG "INTERNAL" "" "HEADERS" ${ARGN})
    set(target ixo_${name})
    if(BUILD_SHARED_LIBS)
        add_library(${target} OBJECT ${ARG_UNPARSED_ARGUMENTS})
        target_link_libraries(ixoinstrsetups PRIVATE ${target})
        add_library(${target}_api INTERFACE)
        target_link_libraries(${target}_api INTERFACE ixoinstrsetups)
        set_target_properties(${target}_api PROPERTIES EXPORT_NAME ${alias})
        add_library(IxoInstrSetups::${alias} ALIAS ${target}_api)
    else()
        add_library(${target} STATIC ${ARG_UNPARSED_ARGUMENTS})
        set_target_properties(${target} PROPERTIES EXPORT_NAME ${alias})
        add_library(IxoInstrSetups::${alias} ALIAS ${target})
    endif()
    target_compile_features(${target} PUBLIC cxx_std_20)
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
    if(ARG_INTERNAL)
        return()
    endif()
    set(header_install FILE_SET HEADERS
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ixoinstrsetups COMPONENT development)
    if(BUILD_SHARED_LIBS)
        install(TARGETS ${target}_api EXPORT IxoInstrSetupsTargets)
        install(TARGETS ${target} ${header_install})
    else()
        install(TARGETS ${target} EXPORT IxoInstrSetupsTargets
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
            ${header_install})
    endif()
endfunction()
