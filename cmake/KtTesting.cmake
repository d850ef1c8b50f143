# kt_add_gtest(<target> SOURCES ... [LIBS ...] [LABELS ...] [PROPERTIES <name> <value>...])
# Builds a GoogleTest program and registers each of its tests with CTest. In the win32 tree the
# program is listed and run under Wine through the crosscompiling emulator. PROPERTIES are added
# to every test of the program (for example those of kt_nginx_fixture_properties).
include(GoogleTest)
include(${CMAKE_CURRENT_LIST_DIR}/KtNginxFixture.cmake)

function(kt_add_gtest target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  # Integration tests share one Wine prefix (registry, installer database, pending renames):
  # they run one at a time, beside the parallel unit tests.
  set(lock "")
  if("wine" IN_LIST ARG_LABELS OR "e2e" IN_LIST ARG_LABELS)
    set(lock RESOURCE_LOCK wine_prefix_state)
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 300 ${lock} ${ARG_PROPERTIES})
endfunction()

# kt_add_gtest_variant(<target> <name> FILTER <gtest filter> ENV <VAR=value>... [LABELS ...])
# Runs chosen tests of a win32 test program once more as one CTest test with another environment
# (for example another ANSI code page through LC_ALL).
function(kt_add_gtest_variant target name)
  cmake_parse_arguments(ARG "" "FILTER" "ENV;LABELS" ${ARGN})
  add_test(NAME ${name} COMMAND ${target} --gtest_filter=${ARG_FILTER})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENV}" LABELS "${ARG_LABELS}" TIMEOUT 300)
endfunction()
