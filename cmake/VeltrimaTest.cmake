# The environment every test runs in: sanitizer reports are failures, and the programs
# under test are found in the build's bin folder.
function(veltrima_sanitizer_environment out)
    set(${out}
        "ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_odr_violation=0"
        "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
        "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
        "TSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
        "VELTRIMA_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
        PARENT_SCOPE)
endfunction()

# veltrima_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI] [XVFB] [TIMEOUT <s>])
# A QtTest case run by CTest. GUI tests run on the offscreen platform; XVFB tests need
# a real X server and run under xvfb-run. Every test sees sanitizer reports as failures.
function(veltrima_add_test name)
    cmake_parse_arguments(ARG "GUI;XVFB" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    # A test whose sources are still being written is left out rather than breaking
    # everyone's configure.
    foreach(src ${ARG_SOURCES})
        if(NOT IS_ABSOLUTE ${src} AND NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${src})
            message(WARNING "test ${name}: ${src} not found, test left out")
            return()
        endif()
    endforeach()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
    if(ARG_XVFB)
        add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1920x1080x24" $<TARGET_FILE:${name}>)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    veltrima_sanitizer_environment(env)
    if(ARG_GUI OR NOT ARG_XVFB)
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    else()
        # The X libraries are built without frame pointers: the fast unwinder loses the
        # stack of their allocations, so suppressions for them cannot match.
        list(TRANSFORM env REPLACE "^LSAN_OPTIONS=(.*)$" "LSAN_OPTIONS=\\1:fast_unwind_on_malloc=0")
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
    if(ARG_TIMEOUT)
        set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    else()
        set_tests_properties(${name} PROPERTIES TIMEOUT 120)
    endif()
endfunction()
