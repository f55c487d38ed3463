# The package holds what hosts link, not the simulator's servers or the desktop window.
foreach(absent include/ixoinstrsetups/instruments/servers include/ixoinstrsetups/desktop)
    if(EXISTS ${PREFIX}/${absent})
        message(FATAL_ERROR "the package installs ${absent}")
    endif()
endforeach()
file(GLOB_RECURSE archives ${PREFIX}/*.a)
foreach(archive IN LISTS archives)
    if(archive MATCHES "instrument_servers|ixo_desktop")
        message(FATAL_ERROR "the package installs ${archive}")
    endif()
endforeach()
foreach(present include/ixoinstrsetups/instruments/protocols/HislipMessage.h
        include/ixoinstrsetups/instruments/transports/SocketChannel.h
        include/ixoinstrsetups/automation/ErrorNumber.h
        include/ixoinstrsetups/locale/TextId.h)
    if(NOT EXISTS ${PREFIX}/${present})
        message(FATAL_ERROR "the package lacks ${present}")
    endif()
endforeach()
