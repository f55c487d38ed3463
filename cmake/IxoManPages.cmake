# Man pages made by help2man from each program's own --help, so that they say what the program
# says. Off where running the programs at build time is not wanted (sanitizer builds).
find_program(IXO_HELP2MAN help2man)
set(ixo_have_help2man OFF)
if(IXO_HELP2MAN)
    set(ixo_have_help2man ON)
endif()
option(IXO_MAN_PAGES "Make the programs' man pages (needs help2man)" ${ixo_have_help2man})

# ixo_man_page(program "what it does" [COMMANDS]): COMMANDS adds a section with the --help of
# each command the program's --help lists.
function(ixo_man_page program description)
    cmake_parse_arguments(ARG "COMMANDS" "" "" ${ARGN})
    if(NOT IXO_MAN_PAGES)
        return()
    endif()
    set(page ${CMAKE_CURRENT_BINARY_DIR}/${program}.1)
    set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${program}-commands.h2m)
    set(include_options "")
    set(include_step "")
    if(ARG_COMMANDS)
        set(include_options --include=${include_file})
        set(include_step COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            sh -c "\"$1\" \"$2\" > \"$3\"" sh ${PROJECT_SOURCE_DIR}/packaging/command-help.sh
            $<TARGET_FILE:${program}> ${include_file})
    endif()
    # The program runs by its name, so that its usage line names it as a user types it.
    add_custom_command(OUTPUT ${page}.gz
        ${include_step}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            "PATH=$<TARGET_FILE_DIR:${program}>:/usr/bin:/bin"
            ${IXO_HELP2MAN} --no-info --no-discard-stderr --section=1 ${include_options}
            --version-string=${PROJECT_VERSION} --name=${description} --output=${page} ${program}
        COMMAND gzip -9nf ${page}
        DEPENDS ${program} ${PROJECT_SOURCE_DIR}/packaging/command-help.sh
        COMMENT "Man page of ${program}"
        VERBATIM)
    add_custom_target(${program}-man ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
endfunction()
