# Under the sanitizers Debian's interpreter is not instrumented, so a test that loads our Python
# module preloads the sanitizer runtime; its allocations are not ours to account for, so leaks
# are not checked there. Sets <out> to the environment entries, empty without sanitizers.
function(ixo_sanitizer_preload_env out)
    set(env "")
    if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=address")
        if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
            # clang's shared runtime holds both sanitizers.
            execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-runtime-dir
                OUTPUT_VARIABLE runtime_dir OUTPUT_STRIP_TRAILING_WHITESPACE)
            set(preload ${runtime_dir}/libclang_rt.asan-${CMAKE_SYSTEM_PROCESSOR}.so)
        else()
            execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                OUTPUT_VARIABLE libasan OUTPUT_STRIP_TRAILING_WHITESPACE)
            execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libubsan.so
                OUTPUT_VARIABLE libubsan OUTPUT_STRIP_TRAILING_WHITESPACE)
            set(preload ${libasan}:${libubsan})
        endif()
        list(APPEND env "LD_PRELOAD=${preload}" "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1"
             "UBSAN_OPTIONS=print_stacktrace=1")
    endif()
    set(${out} "${env}" PARENT_SCOPE)
endfunction()
