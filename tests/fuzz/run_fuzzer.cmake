# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets and runs the metafile fuzzer for a bounded time; fails on any finding.
#   cmake -DSOURCE_DIR=<repo> -DBUILD_DIR=<folder> [-DSECONDS=60] -P run_fuzzer.cmake
if(NOT SOURCE_DIR OR NOT BUILD_DIR)
    message(FATAL_ERROR "run_fuzzer.cmake needs SOURCE_DIR and BUILD_DIR")
endif()
if(NOT SECONDS)
    set(SECONDS 60)
endif()

execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -G Ninja
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14
            -DHABITARA_FUZZ=ON -DHABITARA_TESTS=OFF
    RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "configuring the fuzz build failed (${result})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target fuzz_wmf -j 2
                RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "building fuzz_wmf failed (${result})")
endif()

# The fuzzer adds what it finds to its corpus, so it works on a copy of the seeds.
set(corpus ${BUILD_DIR}/corpus-wmf)
file(REMOVE_RECURSE ${corpus})
file(COPY ${SOURCE_DIR}/fuzz/corpus/ DESTINATION ${corpus})
execute_process(
    COMMAND ${BUILD_DIR}/fuzz/fuzz_wmf -max_total_time=${SECONDS} -rss_limit_mb=2048 -timeout=1
            -print_final_stats=1 -artifact_prefix=${BUILD_DIR}/fuzz_wmf- ${corpus}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the metafile fuzzer found a problem (exit ${result}); the input that "
                        "shows it is in ${BUILD_DIR}, named fuzz_wmf-*")
endif()
