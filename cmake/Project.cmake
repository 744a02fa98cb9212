# Shared build settings and helper functions for every target of the project.

include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# In the sanitizer and fuzz builds every sanitizer report ends the program as a failure.
if(VDMQ_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(VDMQ_SANITIZED=1)
endif()

if(VDMQ_FUZZ)
  # Every library is instrumented for coverage; the fuzz executables add the libFuzzer driver.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Warnings for the project's own code (third-party headers are included as system headers).
function(vdmq_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${VDMQ_WERROR}>:-Werror>)
endfunction()

# vdmq_library(<name> SOURCES ... [DEPS ...]) : one static library per subsystem.
function(vdmq_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT A_SOURCES)
    # A subsystem whose units are not written yet: nothing to compile, dependents still link.
    add_library(${name} INTERFACE)
    vdmq_layer_register(${name})
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${A_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${A_SOURCES})
  vdmq_layer_register(${name} ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
  vdmq_warnings(${name})
endfunction()

# GoogleTest's header is precompiled once per test executable where that pays: with Clang, where it
# saves a quarter of each test file's compile. GCC 12 forgets the header's own diagnostic pragmas when
# it comes precompiled (the standard string's copies then warn in the tests) and writes 100 MB per
# executable to save a sixth. Through ccache, the files that use a precompiled header are cached only
# within one build folder (and only with sloppiness pch_defines,time_macros) while plain files hit
# across worktrees, so a build through ccache compiles them plainly.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND NOT CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
  set(VDMQ_TEST_PCH ON)
else()
  set(VDMQ_TEST_PCH OFF)
endif()

# vdmq_test(<name> SOURCES ... [DEPS ...]) : a GoogleTest executable registered with CTest. Each of
# its tests is a CTest test of its own, run in a process of its own in the calling folder's build
# directory.
function(vdmq_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT VDMQ_TESTS)
    return()
  endif()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  vdmq_warnings(${name})
  if(VDMQ_TEST_PCH)
    target_precompile_headers(${name} PRIVATE <gtest/gtest.h>)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES ENVIRONMENT "VDMQ_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# vdmq_bench(<name> SOURCES ... [DEPS ...]) : a Google Benchmark executable (never run by the tests).
function(vdmq_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS} benchmark::benchmark)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  vdmq_warnings(${name})
endfunction()

# vdmq_fuzz(<name> SOURCES ... [DEPS ...] [EXPECT_REPORT]) : a libFuzzer target, run by CTest for a
# bounded time from its seed folder fuzz/seeds/<name> (when there is one); new inputs go to the
# build folder. EXPECT_REPORT: a check of the fuzz build itself, whose run must end in a sanitizer
# report and a failure.
set(VDMQ_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs under CTest")
function(vdmq_fuzz name)
  cmake_parse_arguments(A "EXPECT_REPORT" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  vdmq_warnings(${name})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  set(seeds ${PROJECT_SOURCE_DIR}/fuzz/seeds/${name})
  if(NOT IS_DIRECTORY ${seeds})
    set(seeds "")
  endif()
  if(A_EXPECT_REPORT)
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${name}> -DCORPUS=${corpus}
                                  -P ${PROJECT_SOURCE_DIR}/cmake/ExpectSanitizerReport.cmake)
  else()
    add_test(NAME ${name} COMMAND ${name} -max_total_time=${VDMQ_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=10
                                  ${corpus} ${seeds})
  endif()
  # Reports stop the run whatever the build's flags.
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 600
                       ENVIRONMENT "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
endfunction()

# vdmq_test_folder(<name> DEPS ...) : every *Test.cpp and *Support.cpp of the calling folder, linked
# into one test executable <name>; a file added to the folder joins it with nothing else to change.
# The files share one program, so each keeps its helpers and fixtures in an unnamed namespace.
function(vdmq_test_folder name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*Support.cpp)
  vdmq_test(${name} SOURCES ${files} DEPS ${A_DEPS})
endfunction()
