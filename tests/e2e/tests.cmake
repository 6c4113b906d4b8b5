# SPDX-License-Identifier: GPL-3.0-or-later
# The built program in a real X server, driven like a pupil.
# The sanitizer build leaves this to the normal build: it tests the machine's tools (X, CUPS,
# installing, libFuzzer's own sanitizers) more than the program's memory.
if(HABITARA_SANITIZE)
    return()
endif()

# Each runs tests/e2e/<script>.sh on the built program and content, as <script>_under_xvfb.
#   pupil: a pupil with the mouse, through a topic and its quiz and out.
#   teacher: a teacher writing and running a worksheet.
#   activity: an activity played with real drags, then with single clicks.
#   keyboard: the whole program with the keyboard alone, counting the key presses of each step.
#   screenreader: a screen reader's walk through every screen, over AT-SPI on a private D-Bus
#   session.
#   fitted: the design grown to fit a large display by itself, as when its scale is asked for.
set(e2e_scripts pupil teacher activity keyboard screenreader fitted)
set(e2e_tests)
foreach(script IN LISTS e2e_scripts)
    add_test(NAME ${script}_under_xvfb
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/${script}.sh $<TARGET_FILE:habitara> ${HABITARA_RUN_DIR})
    set_tests_properties(${script}_under_xvfb PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")
    list(APPEND e2e_tests ${script}_under_xvfb)
endforeach()

# Two X servers started at the same moment can both claim the first free display, so the tests
# that start one take turns.
set_tests_properties(${e2e_tests} PROPERTIES
    RESOURCE_LOCK x_server
    LABELS long)
