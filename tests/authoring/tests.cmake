# SPDX-License-Identifier: GPL-3.0-or-later
# The helper that saves worksheets from a second process, for the test of two copies of the
# program sharing one register.
add_executable(worksheet_saver ${CMAKE_CURRENT_LIST_DIR}/saver.cpp)
target_link_libraries(worksheet_saver PRIVATE habitara_screens)
if(TARGET tst_concurrentsaves)
    add_dependencies(tst_concurrentsaves worksheet_saver)
    target_compile_definitions(tst_concurrentsaves PRIVATE
        WORKSHEET_SAVER="$<TARGET_FILE:worksheet_saver>")
endif()
