# qvn_windows_header_precompiled(<target>)
# windows.h, which every Win32 source of the target reads first, compiled
# once for the target instead of once per file; the sources compiled
# together in batches, so the standard headers they share are read once a
# batch too.
function(qvn_windows_header_precompiled target)
  target_precompile_headers(${target} PRIVATE <windows.h>)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
endfunction()

# qvn_unit_test(<name> SOURCES ... LIBS ...)
# A GoogleTest binary of a core's unit tests. Natively each case is its own
# ctest entry; under Wine the binary runs once as a whole (process start
# under Wine costs more than the cases do).
function(qvn_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest_main)
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <string> <vector>)
  # Test files compiled together: the shared headers are read once a batch.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 12)
  if(QVN_WINDOWS)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 300 RESOURCE_GROUPS lanes:1)
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS unit)
  endif()
endfunction()

# qvn_wine_test(<name> SOURCES ... LIBS ... [LOCK])
# A Win32 test binary run under Wine, one ctest entry per test case. Each
# case runs in one of the harness's Wine lanes (scripts/wine-harness.sh:
# a display, prefix and wineserver of its own), which ctest hands out as
# the resource "lanes" with two slots per lane. LOCK marks tests that need
# the machine-wide fixtures to themselves (the executive's single instance,
# the simulated driver, the debug channel, the cursor): they take both
# slots of their lane.
function(qvn_wine_test name)
  cmake_parse_arguments(ARG "LOCK" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest_main)
  # The headers every test reads, compiled once (tests/CMakeLists.txt).
  target_precompile_headers(${name} REUSE_FROM qvn_test_support)
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 12)
  set(props LABELS e2e TIMEOUT ${ARG_TIMEOUT})
  if(ARG_LOCK)
    list(APPEND props RESOURCE_GROUPS lanes:2)
  else()
    list(APPEND props RESOURCE_GROUPS lanes:1)
  endif()
  qvn_discover_tests_at_test_time(${name} "${props}")
endfunction()

# qvn_core_library(<name> <dir> SOURCES <file>... [LIBS <core library>...])
# The pure-logic sources <dir>/<file> as a static library; <dir> is its
# public include folder. LIBS are the core libraries it builds on.
function(qvn_core_library name dir)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  list(TRANSFORM ARG_SOURCES PREPEND ${dir}/)
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${dir})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# Lists a GoogleTest binary's cases when ctest runs (under the emulator), one
# ctest entry per case. Does what gtest_discover_tests(DISCOVERY_MODE
# PRE_TEST) does, but with its own file names: CMake 3.25 names the wrapper
# and the generated script alike, so one failed generate step leaves a script
# that includes itself.
function(qvn_discover_tests_at_test_time target props)
  set(base "${CMAKE_CURRENT_BINARY_DIR}/${target}")
  set(tests_file "${base}_cases.cmake")
  get_property(emulator TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR)
  if(NOT emulator)
    set(emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
  endif()
  string(CONCAT content
    "if(EXISTS \"$<TARGET_FILE:${target}>\")\n"
    "  if(NOT EXISTS \"${tests_file}\" OR NOT \"${tests_file}\" IS_NEWER_THAN \"$<TARGET_FILE:${target}>\")\n"
    "    include(\"${_GOOGLETEST_DISCOVER_TESTS_SCRIPT}\")\n"
    "    gtest_discover_tests_impl(\n"
    "      TEST_EXECUTABLE [==[$<TARGET_FILE:${target}>]==]\n"
    "      TEST_EXECUTOR [==[${emulator}]==]\n"
    "      TEST_WORKING_DIR [==[${CMAKE_CURRENT_BINARY_DIR}]==]\n"
    "      TEST_EXTRA_ARGS [==[]==]\n"
    "      TEST_PROPERTIES [==[${props}]==]\n"
    "      TEST_PREFIX [==[]==]\n"
    "      TEST_SUFFIX [==[]==]\n"
    "      TEST_FILTER [==[]==]\n"
    "      NO_PRETTY_TYPES [==[FALSE]==]\n"
    "      NO_PRETTY_VALUES [==[TRUE]==]\n"
    "      TEST_LIST [==[${target}_TESTS]==]\n"
    "      CTEST_FILE [==[${tests_file}]==]\n"
    "      TEST_DISCOVERY_TIMEOUT [==[60]==]\n"
    "      TEST_XML_OUTPUT_DIR [==[]==]\n"
    "    )\n"
    "  endif()\n"
    "  include(\"${tests_file}\")\n"
    "else()\n"
    "  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)\n"
    "endif()\n")
  file(GENERATE OUTPUT "${base}_discover.cmake" CONTENT "${content}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${base}_discover.cmake")
endfunction()
