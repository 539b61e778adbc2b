# The font configuration the tests, fuzzers and tour run with: build-dir/fonts.conf, which shows
# only the fonts the project installs, with its cache in the build directory.
set(PINFALL_FONT_CACHE ${PROJECT_BINARY_DIR}/fontconfig-cache)
set(PINFALL_FONTCONFIG_FILE ${PROJECT_BINARY_DIR}/fonts.conf)
configure_file(${CMAKE_CURRENT_LIST_DIR}/fonts.conf.in ${PINFALL_FONTCONFIG_FILE} @ONLY)

# The headless environment every test runs in.
set(PINFALL_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;FONTCONFIG_FILE=${PINFALL_FONTCONFIG_FILE};PINFALL_DISCOVERY_TO=127.255.255.255;QT_FATAL_WARNINGS=0;ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# pinfall_add_test(NAME SOURCES files... LIBRARIES libs... [LABEL unit|gui|e2e])
# Builds one QtTest executable, registers it with CTest and gives it a headless environment.
function(pinfall_add_test name)
    cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBRARIES" ${ARGN})
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBRARIES})
    add_test(NAME ${name} COMMAND ${name})
    # A desktop session of its own: the one-copy marker and the game's marker are named after the
    # session, and tests that run side by side must not find each other's.
    set_tests_properties(${name} PROPERTIES
        LABELS ${ARG_LABEL}
        TIMEOUT 300
        ENVIRONMENT "${PINFALL_TEST_ENVIRONMENT};XDG_SESSION_ID=pinfall-test-${name}")
endfunction()
