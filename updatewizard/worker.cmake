# The update worker: the patch-script holder, version texts, prefix test and
# hand-back (pure, both targets), and the worker itself (Windows), with its
# tests against nginx under Wine.
add_library(zkupdateworker_pure STATIC
  ${CMAKE_CURRENT_LIST_DIR}/updatemanager.cpp ${CMAKE_CURRENT_LIST_DIR}/updatemanager.h
  ${CMAKE_CURRENT_LIST_DIR}/updateworker.cpp ${CMAKE_CURRENT_LIST_DIR}/updateworker.h)
target_link_libraries(zkupdateworker_pure PUBLIC zkpatchscript zkurltext zkframework)

zk_test(updateworker_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/updateworker_test.cpp LIBS zkupdateworker_pure)

if(ZK_WINDOWS)
  add_library(zkupdateworker STATIC
    ${CMAKE_CURRENT_LIST_DIR}/updatemanager_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/updateworker_win.cpp ${CMAKE_CURRENT_LIST_DIR}/updateworker_win.h)
  target_link_libraries(zkupdateworker PUBLIC zkupdateworker_pure zkpatchscript zkstatisticsreport zkgethttp zkzip zkfilehashinfo zkfileversion
    zkcommonfunc zkerrorcodes zkframework shell32)

  # Stand-ins of the installed wizard program, alike but for their version blocks.
  set(zk_worker_programs ${CMAKE_BINARY_DIR}/tests/worker-programs)
  foreach(name old new pointed)
    add_executable(worker_quillan_${name} ${CMAKE_SOURCE_DIR}/tests/worker/quillan.c
      ${CMAKE_SOURCE_DIR}/tests/worker/quillan_${name}.rc)
    set_target_properties(worker_quillan_${name} PROPERTIES
      OUTPUT_NAME quillan_${name} RUNTIME_OUTPUT_DIRECTORY ${zk_worker_programs})
  endforeach()

  # nginx serving the patch scripts, hash lists and zips of the cases; the
  # endless body comes from the update wizard scenarios' fault server.
  set(zk_worker_nginx_port ${ZK_PORT_WORKER_NGINX})
  set(zk_worker_data ${CMAKE_BINARY_DIR}/tests/worker-data)
  add_test(NAME updateworker_fixture
    COMMAND ${CMAKE_SOURCE_DIR}/tests/worker/worker-fixture ${zk_worker_data} ${zk_worker_nginx_port}
            $<TARGET_FILE:worker_quillan_new> ${ZK_PORT_WIZARD_FAULT})
  add_test(NAME updateworker_peers_start
    COMMAND ${CMAKE_SOURCE_DIR}/tests/peers/nginx-ctl start ${zk_worker_data}/nginx ${zk_worker_nginx_port}
            ${zk_worker_data}/docroot)
  add_test(NAME updateworker_peers_stop COMMAND ${CMAKE_SOURCE_DIR}/tests/peers/nginx-ctl stop ${zk_worker_data}/nginx)
  set_tests_properties(updateworker_fixture PROPERTIES FIXTURES_SETUP updateworker_data)
  set_tests_properties(updateworker_peers_start PROPERTIES FIXTURES_SETUP updateworker_peers
    FIXTURES_REQUIRED updateworker_data)
  set_tests_properties(updateworker_peers_stop PROPERTIES FIXTURES_CLEANUP updateworker_peers)

  zk_test(updateworker_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/updateworker_win_test.cpp
    LIBS zkupdateworker zktestsupport_win)
  add_dependencies(updateworker_win_test worker_quillan_old worker_quillan_new worker_quillan_pointed)
  set_property(TEST updateworker_win_test APPEND PROPERTY ENVIRONMENT
    "ZK_WORKER_DATA=${zk_worker_data};ZK_WORKER_PROGRAMS=${zk_worker_programs};ZK_WORKER_NGINX_PORT=${zk_worker_nginx_port}"
    "ZK_WORKER_FAULT_PORT=${ZK_PORT_WIZARD_FAULT}")
  set_tests_properties(updateworker_win_test PROPERTIES
    FIXTURES_REQUIRED "updateworker_data;updateworker_peers;wizard_peers"
    RESOURCE_LOCK "updateworker_peers;zk_wizard_port")

  # The wizard dialog with the real worker behind it.
  if(TARGET zkwizarddlg)
    add_library(zkupdateworker_dialog STATIC ${CMAKE_CURRENT_LIST_DIR}/updateworker_dialog_win.cpp
      ${CMAKE_CURRENT_LIST_DIR}/updateworker_dialog_win.h)
    target_link_libraries(zkupdateworker_dialog PUBLIC zkupdateworker zkwizarddlg)

    zk_test(updateworker_dialog_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/updateworker_dialog_win_test.cpp
      LIBS zkupdateworker_dialog)
    add_dependencies(updateworker_dialog_win_test worker_quillan_old worker_quillan_new)
    set_property(TEST updateworker_dialog_win_test APPEND PROPERTY ENVIRONMENT
      "ZK_WORKER_DATA=${zk_worker_data};ZK_WORKER_PROGRAMS=${zk_worker_programs};ZK_WORKER_NGINX_PORT=${zk_worker_nginx_port}")
    set_tests_properties(updateworker_dialog_win_test PROPERTIES
      FIXTURES_REQUIRED "updateworker_data;updateworker_peers" RESOURCE_LOCK updateworker_peers)
  endif()
endif()
