# A local nginx for whole-program tests (label e2e), started and stopped by CTest itself.
#
# kt_add_nginx_fixture(<name> ROOT <document root> [SLOW_RATE <rate>] [DEPENDS <targets>...])
#   Registers the tests <name>_start (FIXTURES_SETUP <name>) and <name>_stop (FIXTURES_CLEANUP
#   <name>): the server is up before any test that requires the fixture and is stopped after the
#   last of them, whatever their outcome. Its folder is ${CMAKE_CURRENT_BINARY_DIR}/<name>; see
#   scripts/nginx-serve.sh for what it serves (plain, slow, error-status and truncated answers, a
#   refused port) and the files it leaves there (port, refused_port, access.log).
#   DEPENDS names build targets that generate the document root: when given, a target
#   <name>_tree depends on them, so that `ninja <name>_tree` builds the served tree.
#   Sets <name>_DIR in the caller's scope (the server's folder on the build host).
#
# kt_nginx_fixture_properties(<name> <out var>)
#   Gives the test properties for a test that uses the server: FIXTURES_REQUIRED <name> and the
#   environment variable KT_NGINX_DIR naming the server's folder as the test program sees it
#   (drive Z: under Wine). Pass them to kt_add_gtest(... PROPERTIES ${var}) or
#   set_tests_properties(... PROPERTIES ${var}).
set(KT_NGINX_SERVE ${CMAKE_CURRENT_LIST_DIR}/../scripts/nginx-serve.sh)

function(kt_add_nginx_fixture name)
  cmake_parse_arguments(ARG "" "ROOT;SLOW_RATE" "DEPENDS" ${ARGN})
  if(NOT ARG_ROOT)
    message(FATAL_ERROR "kt_add_nginx_fixture(${name}): ROOT is required")
  endif()
  if(NOT ARG_SLOW_RATE)
    set(ARG_SLOW_RATE 2k)
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${name})
  add_test(NAME ${name}_start
    COMMAND bash ${KT_NGINX_SERVE} start ${dir} ${ARG_ROOT} ${ARG_SLOW_RATE})
  set_tests_properties(${name}_start PROPERTIES FIXTURES_SETUP ${name} LABELS e2e TIMEOUT 60)
  add_test(NAME ${name}_stop COMMAND bash ${KT_NGINX_SERVE} stop ${dir})
  set_tests_properties(${name}_stop PROPERTIES FIXTURES_CLEANUP ${name} LABELS e2e TIMEOUT 60)
  if(ARG_DEPENDS)
    add_custom_target(${name}_tree ALL DEPENDS ${ARG_DEPENDS})
  endif()
  set_property(GLOBAL PROPERTY KT_NGINX_FIXTURE_DIR_${name} ${dir})
  set(${name}_DIR ${dir} PARENT_SCOPE)
endfunction()

function(kt_nginx_fixture_properties name out)
  get_property(dir GLOBAL PROPERTY KT_NGINX_FIXTURE_DIR_${name})
  if(NOT dir)
    message(FATAL_ERROR "kt_nginx_fixture_properties: no fixture ${name} (kt_add_nginx_fixture first)")
  endif()
  if(WIN32)
    set(dir Z:${dir})
  endif()
  set(${out} FIXTURES_REQUIRED ${name} ENVIRONMENT KT_NGINX_DIR=${dir} PARENT_SCOPE)
endfunction()
