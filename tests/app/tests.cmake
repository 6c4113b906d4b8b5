# SPDX-License-Identifier: GPL-3.0-or-later
# The program scaled up on a large screen: every window drawn at twice its size.
if(TEST tst_scaled)
    set_property(TEST tst_scaled APPEND PROPERTY ENVIRONMENT QT_SCALE_FACTOR=2)
endif()

# Drags and snapping with every window drawn at twice its size.
if(TEST tst_activities)
    add_test(NAME tst_activities_scaled COMMAND tst_activities)
    set_tests_properties(tst_activities_scaled PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime;QT_SCALE_FACTOR=2")
endif()

# The command line's folder checks, as a user who cannot write everywhere.
add_test(NAME commandline_folders
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/folders.sh $<TARGET_FILE:habitara>)
set_tests_properties(commandline_folders PROPERTIES TIMEOUT 120)
