# SPDX-License-Identifier: GPL-3.0-or-later
# Reading aloud: tst_speech knows whether the speech module was built; the real engine speaks
# beside a private sound server.
if(TARGET habitara_speech)
    target_compile_definitions(tst_speech PRIVATE HABITARA_SPEECH_BUILT)
endif()
target_sources(tst_speech PRIVATE ${CMAKE_CURRENT_LIST_DIR}/processes.cpp)

add_executable(tst_speech_engine ${CMAKE_CURRENT_LIST_DIR}/engine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/processes.cpp)
set_target_properties(tst_speech_engine PROPERTIES AUTOMOC ON)
target_link_libraries(tst_speech_engine PRIVATE habitara_testsupport)
add_dependencies(tst_speech_engine content)
add_test(NAME tst_speech_engine
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/soundserver.sh $<TARGET_FILE:tst_speech_engine>)
set(engine_env ${test_env})
if(TARGET habitara_speech)
    list(APPEND engine_env HABITARA_SPEECH_BUILT=1)
endif()
set_tests_properties(tst_speech_engine PROPERTIES TIMEOUT 300 ENVIRONMENT "${engine_env}")
