# The Qt and standard headers most sources include, precompiled once per kind of target
# (position-independent for libraries, position-independent executables) and reused by every
# target of that kind. GCC takes a header precompiled with fewer QT_*_LIB macros than the user
# defines, so the holders define only QtCore's. Kept small: a large header costs every source
# more to load than it saves.
set(ixo_pch_headers <QByteArray> <QDeadlineTimer> <QHash> <QList> <QMap> <QObject>
    <QRegularExpression> <QString> <QStringList> <QVariant> <functional> <memory> <optional>
    <vector>)

function(ixo_pch_holder target kind)
    if(kind STREQUAL "EXECUTABLE")
        add_executable(${target} ${PROJECT_SOURCE_DIR}/cmake/PchHolder.cpp)
    else()
        add_library(${target} STATIC ${PROJECT_SOURCE_DIR}/cmake/PchHolder.cpp)
    endif()
    set_target_properties(${target} PROPERTIES AUTOMOC OFF EXCLUDE_FROM_ALL ON)
    target_compile_features(${target} PRIVATE cxx_std_20)
    target_link_libraries(${target} PRIVATE Qt6::Core)
    target_precompile_headers(${target} PRIVATE ${ixo_pch_headers})
    ixo_warnings(${target})
endfunction()

# The executables' kind pays for itself only over the many test programs; the few programs
# compile faster without waiting for it.
if(IXO_PRECOMPILE_HEADERS)
    ixo_pch_holder(ixo_pch LIBRARY)
    if(IXO_BUILD_TESTS)
        ixo_pch_holder(ixo_pch_exe EXECUTABLE)
    endif()
endif()

# Reuses the precompiled headers of the target's kind, also for moc's output, which includes
# every header of the target that declares a QObject.
function(ixo_precompile target)
    if(NOT IXO_PRECOMPILE_HEADERS)
        return()
    endif()
    get_target_property(kind ${target} TYPE)
    if(kind STREQUAL "EXECUTABLE")
        if(TARGET ixo_pch_exe)
            target_precompile_headers(${target} REUSE_FROM ixo_pch_exe)
        endif()
    else()
        target_precompile_headers(${target} REUSE_FROM ixo_pch)
    endif()
endfunction()
