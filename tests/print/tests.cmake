# SPDX-License-Identifier: GPL-3.0-or-later
# Printing through a real CUPS queue: a private CUPS server with CUPS-PDF as its default.
# The sanitizer build leaves this to the normal build: it tests the machine's tools (X, CUPS,
# installing, libFuzzer's own sanitizers) more than the program's memory.
if(HABITARA_SANITIZE)
    return()
endif()

add_executable(cupsprint ${CMAKE_CURRENT_LIST_DIR}/cupsprint.cpp)
set_target_properties(cupsprint PROPERTIES AUTOMOC ON)
target_link_libraries(cupsprint PRIVATE habitara_testsupport)
add_dependencies(cupsprint content)
add_test(NAME cups_print COMMAND ${CMAKE_CURRENT_LIST_DIR}/cups.sh $<TARGET_FILE:cupsprint>)
set_tests_properties(cups_print PROPERTIES
    TIMEOUT 300
    SKIP_RETURN_CODE 77
    LABELS long
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")
