# SPDX-License-Identifier: GPL-3.0-or-later
# Test helpers. Every test target links only the libraries it tests.
#
#   tk358_add_gtest(<name> SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
#       GoogleTest executable, registered test by test with gtest_discover_tests.
#   tk358_add_qtest(<name> SOURCES ... LIBS ... [TIMEOUT s])
#       Qt Test executable run under the offscreen platform.
#
# Qt-free tests carry the label "qtfree"; the ThreadSanitizer build runs only those.

include(GoogleTest)

# Test programs are many sources of heavily templated GoogleTest and Qt Test
# code: unoptimised they build in about half the time, while the libraries they
# test keep the build type's optimisation.
function(tk358_test_build_options name)
    target_compile_options(${name} PRIVATE -O0)
endfunction()

# The Qt-free test programs share one precompiled GoogleTest header. (The Qt
# Test programs cannot: Qt Test defines a macro per source folder.)
add_library(tk358_gtest_pch OBJECT ${PROJECT_SOURCE_DIR}/tests/support/pch_anchor.cpp)
target_link_libraries(tk358_gtest_pch PRIVATE GTest::gtest GTest::gmock)
tk358_test_build_options(tk358_gtest_pch)
target_precompile_headers(tk358_gtest_pch PRIVATE
    <gmock/gmock.h> <gtest/gtest.h> <chrono> <filesystem> <string> <thread> <vector>)

function(tk358_add_gtest name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    tk358_test_build_options(${name})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    if(NOT T_LABELS)
        set(T_LABELS unlabelled)
    endif()
    if("qtfree" IN_LIST T_LABELS)
        target_precompile_headers(${name} REUSE_FROM tk358_gtest_pch)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}"
                   ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TK358_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

function(tk358_add_qtest name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 180)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    tk358_test_build_options(${name})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "qt"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TK358_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
