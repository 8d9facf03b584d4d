# Copyright (c) 2026 Brindlewood
# SPDX-License-Identifier: MIT

# qb_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One Qt Test executable per unit, registered with CTest. Test data reaches the
# test through QB_TEST_DATA_DIR, never through the working directory.
function(qb_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE QB_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

# qb_add_library(<name> <sources...>)
# One static library per source folder. Headers are included from the source root ("xml/IDMap.h"),
# which a library gives to those that link it.
function(qb_add_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()
