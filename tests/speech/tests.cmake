# SPDX-License-Identifier: GPL-3.0-or-later
# Reading aloud: tst_speech knows whether the speech module was built; its real-engine test runs
# on its own, as tst_speech_engine, beside a private sound server.
if(TARGET habitara_speech)
    target_compile_definitions(tst_speech PRIVATE HABITARA_SPEECH_BUILT)
endif()

add_test(NAME tst_speech_engine
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/soundserver.sh $<TARGET_FILE:tst_speech> theRealEngine)
set(engine_env ${test_env} HABITARA_ENGINE_TEST=1)
if(TARGET habitara_speech)
    list(APPEND engine_env HABITARA_SPEECH_BUILT=1)
endif()
set_tests_properties(tst_speech_engine PROPERTIES TIMEOUT 300 ENVIRONMENT "${engine_env}")
