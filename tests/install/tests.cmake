# SPDX-License-Identifier: GPL-3.0-or-later
# The manual page lists the options --help lists: the two cannot drift apart.
add_test(NAME manual_page
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/manpage.sh $<TARGET_FILE:habitara>
            ${CMAKE_SOURCE_DIR}/packaging/habitara.1)

# Habitara installed as a desktop program: installed into a scratch prefix, packaged as a .deb,
# the package unpacked elsewhere, and the unpacked program started in a real X server.
# The sanitizer build leaves this to the normal build: it tests the machine's tools (X, CUPS,
# installing, libFuzzer's own sanitizers) more than the program's memory.
if(HABITARA_SANITIZE)
    return()
endif()

add_test(NAME installed_program
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/installed.sh ${CMAKE_BINARY_DIR})
set_tests_properties(installed_program PROPERTIES
    TIMEOUT 600
    LABELS long
    RESOURCE_LOCK x_server
    ENVIRONMENT "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime")

# The Debian package as Debian's checker sees it: no error, no warning.
add_test(NAME package_lintian COMMAND ${CMAKE_CURRENT_LIST_DIR}/package.sh ${CMAKE_BINARY_DIR})
set_tests_properties(package_lintian PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77 LABELS long)
