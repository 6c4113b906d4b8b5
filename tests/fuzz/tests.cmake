# SPDX-License-Identifier: GPL-3.0-or-later
# The fuzz targets as tests: one test builds them with clang in their own build folder, then
# each fuzzes its reader for a few seconds from a copy of its corpus (corpus_wmf, corpus_quiz,
# corpus_register, corpus_gift, corpus_aiken beside this file). A crash, a sanitizer report, a
# leak, a hang or running out of memory fails the test.
# The sanitizer build leaves this to the normal build: libFuzzer brings its own sanitizers.
if(HABITARA_SANITIZE)
    return()
endif()

set(fuzz_build ${CMAKE_BINARY_DIR}/fuzz)
add_test(NAME fuzz_build
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DBUILD_DIR=${fuzz_build}
            -P ${CMAKE_CURRENT_LIST_DIR}/run_fuzzer.cmake)
set_tests_properties(fuzz_build PROPERTIES TIMEOUT 900 FIXTURES_SETUP fuzzers LABELS long)

foreach(fuzzer wmf:15 register:10 quiz:10 gift:10 aiken:10)
    string(REPLACE ":" ";" fuzzer ${fuzzer})
    list(GET fuzzer 0 reader)
    list(GET fuzzer 1 seconds)
    add_test(NAME fuzz_${reader}
        COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DBUILD_DIR=${fuzz_build}
            -DFUZZER=fuzz_${reader} -DSECONDS=${seconds}
            -DSEEDS=${CMAKE_CURRENT_LIST_DIR}/corpus_${reader}
            -P ${CMAKE_CURRENT_LIST_DIR}/run_fuzzer.cmake)
    set_tests_properties(fuzz_${reader} PROPERTIES
        TIMEOUT 300
        LABELS long
        FIXTURES_REQUIRED fuzzers
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${xdg}")
endforeach()
