# qvn_unit_test(<name> SOURCES ... LIBS ...)
# A GoogleTest binary of a core's unit tests. Natively each case is its own
# ctest entry; under Wine the binary runs once as a whole (process start
# under Wine costs more than the cases do).
function(qvn_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gmock gtest_main)
  if(QVN_WINDOWS)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 300)
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS unit)
  endif()
endfunction()

# qvn_wine_test(<name> SOURCES ... LIBS ... [LOCK])
# A Win32 test binary run under Wine, one ctest entry per test case. LOCK
# marks tests that need the machine-wide fixtures to themselves (the
# executive's single instance, the simulated driver, the debug channel,
# the cursor): they never run at the same time as each other.
function(qvn_wine_test name)
  cmake_parse_arguments(ARG "LOCK" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gmock gtest_main)
  set(props LABELS e2e TIMEOUT ${ARG_TIMEOUT})
  if(ARG_LOCK)
    list(APPEND props RESOURCE_LOCK qvn_session)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()

# qvn_core_library(<name> <dir>): the pure-logic sources <dir>/*.cpp as a
# static library (an interface library while the folder has none yet).
# Further arguments are core libraries it builds on.
function(qvn_core_library name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${dir})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${dir})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# qvn_subdirectories(<dir>): add every immediate sub-folder of <dir> that has
# a CMakeLists.txt (lets each area own its build file).
function(qvn_subdirectories dir)
  file(GLOB lists CONFIGURE_DEPENDS ${dir}/*/CMakeLists.txt)
  foreach(f ${lists})
    get_filename_component(d ${f} DIRECTORY)
    add_subdirectory(${d})
  endforeach()
endfunction()
