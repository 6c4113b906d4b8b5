# SPDX-License-Identifier: GPL-3.0-or-later
# The metafile fuzzer as a test: builds the fuzz targets with clang in their own build folder
# and fuzzes the metafile reader for twenty seconds from a copy of its corpus. A crash, a
# sanitizer report, a leak, a hang or running out of memory fails the test.
# The sanitizer build leaves this to the normal build: it tests the machine's tools (X, CUPS,
# installing, libFuzzer's own sanitizers) more than the program's memory.
if(HABITARA_SANITIZE)
    return()
endif()

add_test(NAME fuzz_wmf
    COMMAND ${CMAKE_COMMAND}
        -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
        -DBUILD_DIR=${CMAKE_BINARY_DIR}/fuzz
        -DSECONDS=20
        -P ${CMAKE_CURRENT_LIST_DIR}/run_fuzzer.cmake)
set_tests_properties(fuzz_wmf PROPERTIES
    TIMEOUT 900
    RUN_SERIAL TRUE
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${xdg}")

# The register's reader and the quiz reader, fifteen seconds each from their own corpora.
foreach(fuzzer register quiz)
    add_test(NAME fuzz_${fuzzer}
        COMMAND ${CMAKE_COMMAND}
            -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
            -DBUILD_DIR=${CMAKE_BINARY_DIR}/fuzz
            -DSECONDS=15
            -DFUZZER=fuzz_${fuzzer}
            -DSEEDS=${CMAKE_SOURCE_DIR}/fuzz/corpus_${fuzzer}
            -P ${CMAKE_CURRENT_LIST_DIR}/run_fuzzer.cmake)
    set_tests_properties(fuzz_${fuzzer} PROPERTIES
        TIMEOUT 900
        RUN_SERIAL TRUE
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${xdg}")
endforeach()
