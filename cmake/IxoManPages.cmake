# Man pages made by help2man from each program's own --help, so that they say what the program
# says. Off where running the programs at build time is not wanted (sanitizer builds).
find_program(IXO_HELP2MAN help2man)
set(ixo_have_help2man OFF)
if(IXO_HELP2MAN)
    set(ixo_have_help2man ON)
endif()
option(IXO_MAN_PAGES "Make the programs' man pages (needs help2man)" ${ixo_have_help2man})

function(ixo_man_page program description)
    if(NOT IXO_MAN_PAGES)
        return()
    endif()
    set(page ${CMAKE_CURRENT_BINARY_DIR}/${program}.1)
    # The program runs by its name, so that its usage line names it as a user types it.
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            "PATH=$<TARGET_FILE_DIR:${program}>:/usr/bin:/bin"
            ${IXO_HELP2MAN} --no-info --no-discard-stderr --section=1
            --version-string=${PROJECT_VERSION} --name=${description} --output=${page} ${program}
        COMMAND gzip -9nf ${page}
        DEPENDS ${program}
        COMMENT "Man page of ${program}"
        VERBATIM)
    add_custom_target(${program}-man ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
endfunction()
