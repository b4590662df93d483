# korvel_test(NAME SOURCES ... [LIBS ...] [NET] [CONCURRENCY] [TIMEOUT s] [MAIN lib])
#
# NET: the test opens sockets. It links a main that refuses to run outside the
# private test network, and ctest starts it through scripts/testnet.
# CONCURRENCY: the test exercises threads; the ThreadSanitizer build runs these.
# MAIN: a library with the test's own main in place of the usual one (a NET
# test's main must still refuse to run outside the test network).
function(korvel_test name)
    cmake_parse_arguments(T "NET;CONCURRENCY" "TIMEOUT;MAIN" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
    set(labels unit)
    if(T_MAIN)
        target_link_libraries(${name} PRIVATE ${T_MAIN})
    elseif(T_NET)
        target_link_libraries(${name} PRIVATE korvel_test_main_net)
    else()
        target_link_libraries(${name} PRIVATE korvel_test_main)
    endif()
    if(T_NET)
        add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/testnet $<TARGET_FILE:${name}>)
        set(labels net)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    if(T_CONCURRENCY)
        list(APPEND labels concurrency)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1;TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
endfunction()
