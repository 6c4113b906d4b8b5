# SPDX-License-Identifier: GPL-3.0-or-later
# The built program in a real X server, driven like a pupil.
# The sanitizer build leaves this to the normal build: it tests the machine's tools (X, CUPS,
# installing, libFuzzer's own sanitizers) more than the program's memory.
if(HABITARA_SANITIZE)
    return()
endif()

add_test(NAME pupil_under_xvfb
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/pupil.sh $<TARGET_FILE:habitara> ${HABITARA_RUN_DIR})
set_tests_properties(pupil_under_xvfb PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")

# The built program in a real X server, driven like a teacher writing and running a worksheet.
add_test(NAME teacher_under_xvfb
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/teacher.sh $<TARGET_FILE:habitara> ${HABITARA_RUN_DIR})
set_tests_properties(teacher_under_xvfb PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")

# The design grown to fit a large display, as when its scale is asked for.
add_test(NAME fitted_under_xvfb
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/fitted.sh $<TARGET_FILE:habitara> ${HABITARA_RUN_DIR})
set_tests_properties(fitted_under_xvfb PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")

# An activity played with real drags in the same X server set-up.
add_test(NAME activity_under_xvfb
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/activity.sh $<TARGET_FILE:habitara> ${HABITARA_RUN_DIR})
set_tests_properties(activity_under_xvfb PROPERTIES
    TIMEOUT 300
    ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")

# The whole program with the keyboard alone, counting the key presses of each step.
add_test(NAME keyboard_under_xvfb
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/keyboard.sh $<TARGET_FILE:habitara> ${HABITARA_RUN_DIR})
set_tests_properties(keyboard_under_xvfb PROPERTIES
    TIMEOUT 300
    LABELS long
    ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")

# A screen reader's walk through every screen, over AT-SPI on a private D-Bus session.
add_test(NAME screenreader_under_xvfb
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/screenreader.sh $<TARGET_FILE:habitara> ${HABITARA_RUN_DIR})
set_tests_properties(screenreader_under_xvfb PROPERTIES
    TIMEOUT 300
    LABELS long
    ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")

# Two X servers started at the same moment can both claim the first free display, so the tests
# that start one take turns.
set_tests_properties(pupil_under_xvfb teacher_under_xvfb activity_under_xvfb keyboard_under_xvfb
    screenreader_under_xvfb PROPERTIES
    RESOURCE_LOCK x_server
    LABELS long)
