# Settings shared by every target of our own: strict warnings as errors,
# UTF-8 sources whose narrow literals become code page 936 bytes, the ANSI
# Win32 API, and Windows 7 as the lowest platform.
function(orb_target_defaults target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX,C>:-Wall -Wextra -Wpedantic -Werror -finput-charset=UTF-8 -fexec-charset=CP936>)
  target_compile_definitions(${target} PRIVATE
    _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX STRICT)
endfunction()

# A DLL of ours: NAME, the macro that marks it as being built (its header's
# export switch), SOURCES and LIBS.
function(orb_add_dll name)
  cmake_parse_arguments(ARG "" "BUILD_MACRO" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "")
  orb_target_defaults(${name})
  if(ARG_BUILD_MACRO)
    target_compile_definitions(${name} PRIVATE ${ARG_BUILD_MACRO})
  endif()
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# A GoogleTest executable run under Wine by ctest, one test case per test,
# each with a timeout so that a window nobody answers cannot hang the run.
# PROPERTIES adds ctest properties to every case (for example a
# RESOURCE_LOCK for tests that must not run beside each other).
function(orb_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  orb_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 60 ${ARG_PROPERTIES})
endfunction()

# A benchmark executable; `make bench` runs every one of them.
function(orb_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  orb_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_property(GLOBAL APPEND PROPERTY ORB_BENCHES ${name})
endfunction()
