# SPDX-License-Identifier: GPL-3.0-or-later
# The helper that saves worksheets from a second process, for the test of two copies of the
# program sharing one register.
add_executable(worksheet_saver ${CMAKE_CURRENT_LIST_DIR}/saver.cpp)
target_link_libraries(worksheet_saver PRIVATE habitara_testsupport)
if(TARGET tst_concurrentsaves)
    add_dependencies(tst_concurrentsaves worksheet_saver)
    target_compile_definitions(tst_concurrentsaves PRIVATE
        WORKSHEET_SAVER="$<TARGET_FILE:worksheet_saver>")
endif()

# The teacher whose power is cut, and the test that cuts it: a thousand trials in four runs of
# 250 side by side, each from its own seed (fewer in the sanitizer build).
add_executable(powercut_teacher ${CMAKE_CURRENT_LIST_DIR}/powercut.cpp)
target_link_libraries(powercut_teacher PRIVATE habitara_testsupport)
add_dependencies(powercut_teacher content)
if(TEST tst_powercut)
    add_dependencies(tst_powercut powercut_teacher)
    target_compile_definitions(tst_powercut PRIVATE
        POWERCUT_TEACHER="$<TARGET_FILE:powercut_teacher>")
    set_tests_properties(tst_powercut PROPERTIES TIMEOUT 600 LABELS long)
    set_property(TEST tst_powercut APPEND PROPERTY ENVIRONMENT
        HABITARA_POWERCUT_TRIALS=${powercut_trials} HABITARA_POWERCUT_SEED=0)
    foreach(seed 1 2 3)
        add_test(NAME tst_powercut_${seed}
            COMMAND tst_powercut aPowerCutWhileSavingAndDeletingLosesNoWorksheet)
        set_tests_properties(tst_powercut_${seed} PROPERTIES
            TIMEOUT 600
            LABELS long
            ENVIRONMENT "${test_env};HABITARA_POWERCUT_TRIALS=${powercut_trials};HABITARA_POWERCUT_SEED=${seed}")
    endforeach()
endif()

# The GIFT and Aiken test runs the program itself for its command line.
if(TARGET tst_exchange)
    add_dependencies(tst_exchange habitara)
    target_compile_definitions(tst_exchange PRIVATE HABITARA_PROGRAM="$<TARGET_FILE:habitara>")
endif()

# A teacher who runs, edits, saves and deletes in a given folder, for the tests that watch what it
# opens, and that run it as another user.
add_executable(folder_teacher ${CMAKE_CURRENT_LIST_DIR}/folderteacher.cpp)
target_link_libraries(folder_teacher PRIVATE habitara_testsupport)
if(TEST tst_realfolders)
    add_dependencies(tst_realfolders folder_teacher worksheet_saver)
    target_compile_definitions(tst_realfolders PRIVATE
        FOLDER_TEACHER="$<TARGET_FILE:folder_teacher>")
    set_tests_properties(tst_realfolders PROPERTIES TIMEOUT 600)
endif()
