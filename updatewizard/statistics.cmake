# Statistics report of failed hash checks: the request texts and the system
# line's format are pure (both targets); the requests and the system reads
# are Windows code. The library reads the wizard's globals (wizardglobals.h),
# which the program defines.
# zk_statistics_library(<target> <built-in address>)
function(zk_statistics_library name default_url)
  add_library(${name} STATIC ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/statisticsreport.h ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/statisticsreport.cpp
    ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wizardglobals.h)
  zk_settings_header(${name} ZK_STATISTICS_URL "${default_url}")
  target_link_libraries(${name} PUBLIC zkfilehashinfo zkframework)
  if(ZK_WINDOWS)
    target_sources(${name} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/statisticsreport_win.h ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/statisticsreport_win.cpp)
    target_link_libraries(${name} PUBLIC zkgethttp advapi32)
  endif()
endfunction()

zk_statistics_library(zkstatisticsreport "${ZK_STATISTICS_URL}")

zk_test(statisticsreport_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/statisticsreport_test.cpp LIBS zkstatisticsreport)
set_property(TEST statisticsreport_test APPEND PROPERTY ENVIRONMENT "ZK_STATISTICS_URL=${ZK_STATISTICS_URL}")

if(ZK_WINDOWS)
  # nginx answers the reports; its built-in address is the test's own nginx.
  set(zk_statistics_port ${ZK_PORT_STATISTICS_NGINX})
  set(zk_statistics_state ${CMAKE_BINARY_DIR}/statistics-peers)
  set(zk_statistics_page "/cpage/ClientDownLoad/index_v2.asp")
  file(WRITE ${zk_statistics_state}/docroot${zk_statistics_page} "ok\n")
  zk_statistics_library(zkstatisticsreport_testpeer "http://127.0.0.1:${zk_statistics_port}${zk_statistics_page}")

  add_test(NAME statistics_peers_start
    COMMAND ${CMAKE_SOURCE_DIR}/tests/peers/nginx-ctl start ${zk_statistics_state}/nginx ${zk_statistics_port}
            ${zk_statistics_state}/docroot)
  add_test(NAME statistics_peers_stop COMMAND ${CMAKE_SOURCE_DIR}/tests/peers/nginx-ctl stop ${zk_statistics_state}/nginx)
  set_tests_properties(statistics_peers_start PROPERTIES FIXTURES_SETUP statistics_peers)
  set_tests_properties(statistics_peers_stop PROPERTIES FIXTURES_CLEANUP statistics_peers)

  zk_test(statisticsreport_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/statisticsreport_win_test.cpp
    LIBS zkstatisticsreport_testpeer zktestsupport_win)
  set_property(TEST statisticsreport_win_test APPEND PROPERTY ENVIRONMENT
    "ZK_STATISTICS_PORT=${zk_statistics_port};ZK_STATISTICS_STATE=${zk_statistics_state}")
  set_tests_properties(statisticsreport_win_test PROPERTIES
    FIXTURES_REQUIRED statistics_peers RESOURCE_LOCK statistics_peers)
endif()
