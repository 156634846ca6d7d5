# HTTP getters: the socket getter (pure protocol code over a socket seam,
# both targets) and, for Windows, the framework getter and the size probe.
add_library(zkgethttp STATIC ${CMAKE_CURRENT_LIST_DIR}/zkgethttpinterface.h ${CMAKE_CURRENT_LIST_DIR}/zkgethttpforbigfile.h ${CMAKE_CURRENT_LIST_DIR}/zkgethttpforbigfile.cpp)
target_link_libraries(zkgethttp PUBLIC zkframework_inet)
if(ZK_WINDOWS)
  target_sources(zkgethttp PRIVATE ${CMAKE_CURRENT_LIST_DIR}/zkgethttpforbigfile_win.cpp ${CMAKE_CURRENT_LIST_DIR}/zkgethttp.h ${CMAKE_CURRENT_LIST_DIR}/zkgethttp_win.cpp)
  target_link_libraries(zkgethttp PUBLIC ws2_32)
else()
  target_sources(zkgethttp PRIVATE ${CMAKE_CURRENT_LIST_DIR}/zkgethttpforbigfile_posix.cpp)
endif()

# Peers of the tests: nginx with the pattern files and the fault server.
set(zk_http_nginx_port ${ZK_PORT_HTTP_NGINX})
set(zk_http_fault_port ${ZK_PORT_HTTP_FAULT})
set(zk_http_state ${CMAKE_BINARY_DIR}/httpget-peers)
add_test(NAME httpget_peers_start
  COMMAND ${CMAKE_SOURCE_DIR}/tests/faultserver/http-peers start ${zk_http_state}
          ${zk_http_nginx_port} ${zk_http_fault_port} ${CMAKE_CURRENT_LIST_DIR}/zkgethttp_cases.json)
add_test(NAME httpget_peers_stop COMMAND ${CMAKE_SOURCE_DIR}/tests/faultserver/http-peers stop ${zk_http_state})
set_tests_properties(httpget_peers_start PROPERTIES FIXTURES_SETUP httpget_peers)
set_tests_properties(httpget_peers_stop PROPERTIES FIXTURES_CLEANUP httpget_peers)

function(zk_http_peer_test name)
  zk_test(${name} ${ARGN})
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
    "ZK_HTTP_NGINX_PORT=${zk_http_nginx_port};ZK_HTTP_FAULT_PORT=${zk_http_fault_port};ZK_HTTP_CLOSED_PORT=${ZK_PORT_HTTP_CLOSED};ZK_HTTP_STATE=${zk_http_state}")
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED httpget_peers RESOURCE_LOCK httpget_peers)
endfunction()

zk_http_peer_test(zkgethttpforbigfile_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkgethttpforbigfile_test.cpp LIBS zkgethttp)
if(ZK_WINDOWS)
  zk_http_peer_test(zkgethttp_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkgethttp_test.cpp ${CMAKE_CURRENT_LIST_DIR}/zkgethttp_test.rc LIBS zkgethttp zktestsupport_win)
endif()
