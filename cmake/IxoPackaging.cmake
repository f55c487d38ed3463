# Debian packages of a shared build (cpack -G DEB, or scripts/package.sh):
#   ixoinstrsetups                 the programs, their man pages and desktop entry
#   libixoinstrsetups<N>           the shared library and its translations
#   libixoinstrsetups-dev          headers and the CMake package
#   ixoinstrsetups-designer-plugin the Qt Designer plugin
#   python3-ixoinstrsetups         the Python module for Debian's python3
# Dependencies on other packages come from dpkg-shlibdeps; between these packages from the
# components' dependencies.
if(NOT BUILD_SHARED_LIBS)
    return()
endif()

set(IXO_MAINTAINER "IxoInstrSetups developers <maintainers@ixoinstrsetups.example>")
set(ixo_library_package libixoinstrsetups${PROJECT_VERSION_MAJOR})
set(ixo_packages
    programs ixoinstrsetups
    library ${ixo_library_package}
    development libixoinstrsetups-dev
    designer ixoinstrsetups-designer-plugin)
if(IXO_BUILD_PYTHON)
    list(APPEND ixo_packages python python3-ixoinstrsetups)
endif()

# What Debian asks of every package: its copyright and changelog under /usr/share/doc.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog
    @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/packaging/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(ixo-changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
set(ixo_components "")
while(ixo_packages)
    list(POP_FRONT ixo_packages component package)
    list(APPEND ixo_components ${component})
    string(TOUPPER ${component} upper)
    set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package})
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
        ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
    if(NOT component STREQUAL "library")
        set(CPACK_COMPONENT_${upper}_DEPENDS library)
    endif()
endwhile()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/ixo-setups.desktop
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/ixo-setups.svg
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/scripts/library-roles.sql
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/ixoinstrsetups COMPONENT programs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ixoinstrsetups)
set(CPACK_PACKAGE_VENDOR "IxoInstrSetups developers")
set(CPACK_PACKAGE_CONTACT ${IXO_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL ${ixo_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs' own library is found in the build tree; its package is named by the components.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${IXO_LIBRARY_OUTPUT_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
# The module is built for this interpreter's ABI, which shlibdeps cannot see: it does not link
# libpython.
if(IXO_BUILD_PYTHON)
    math(EXPR ixo_python_next "${Python3_VERSION_MINOR} + 1")
    set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}), python3 (<< ${Python3_VERSION_MAJOR}.${ixo_python_next})")
endif()

set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION "saved instrument setups: desktop program and command line
ixo-setups keeps a list of saved setups of a test instrument reached
over VISA (raw socket, VXI-11, HiSLIP, USBTMC or serial): capture,
restore, compare, rename, remove, export and import state files.
ixo-states does the same from scripts, and ixo-instrument-sim serves
simulated instruments for trying both without hardware.")
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "saved instrument setups: shared library
The component library behind ixo-setups: the saved-states control, the
state documents, the instrument transports and profiles, and their
translations.")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "saved instrument setups: development files
Headers and the CMake package (find_package(IxoInstrSetups)) for hosts
that embed the saved-states control.")
set(CPACK_COMPONENT_DESIGNER_DESCRIPTION "saved instrument setups: Qt Designer plugin
Lets Qt Designer place the saved-states control on a form.")
set(CPACK_COMPONENT_PYTHON_DESCRIPTION "saved instrument setups: Python 3 module
The ixoinstrsetups module: documents of saved states, instruments and
benches from Python scripts and pytest.")

include(CPack)
