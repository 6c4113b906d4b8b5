# SPDX-License-Identifier: GPL-3.0-or-later
# Without FUZZER: configures and builds every fuzz target in BUILD_DIR.
# With FUZZER: runs that built target for SECONDS from a copy of SEEDS; fails on any finding.
#   cmake -DSOURCE_DIR=<repo> -DBUILD_DIR=<folder> [-DFUZZER=fuzz_wmf -DSEEDS=<folder>
#         -DSECONDS=60] -P run_fuzzer.cmake
if(NOT SOURCE_DIR OR NOT BUILD_DIR)
    message(FATAL_ERROR "run_fuzzer.cmake needs SOURCE_DIR and BUILD_DIR")
endif()

if(NOT FUZZER)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -G Ninja
                -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14
                -DHABITARA_FUZZ=ON -DHABITARA_TESTS=OFF
        RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "configuring the fuzz build failed (${result})")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} -j 2 RESULT_VARIABLE result)
    if(result)
        message(FATAL_ERROR "building the fuzz targets failed (${result})")
    endif()
    return()
endif()

if(NOT SECONDS)
    set(SECONDS 60)
endif()
# The fuzzer adds what it finds to its corpus, so it works on a copy of the seeds.
set(corpus ${BUILD_DIR}/corpus-${FUZZER})
file(REMOVE_RECURSE ${corpus})
file(COPY ${SEEDS}/ DESTINATION ${corpus})
execute_process(
    COMMAND ${BUILD_DIR}/fuzz/${FUZZER} -max_total_time=${SECONDS} -rss_limit_mb=2048 -timeout=1
            -print_final_stats=1 -artifact_prefix=${BUILD_DIR}/${FUZZER}- ${corpus}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} found a problem (exit ${result}); the input that "
                        "shows it is in ${BUILD_DIR}, named ${FUZZER}-*")
endif()
