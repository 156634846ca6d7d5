# Resumable download: the file wrapper, the process-wide size cache and the
# download itself. All Windows code (Win32 file handles, critical section).
if(ZK_WINDOWS)
  add_library(zkhttpdownload STATIC
    ${CMAKE_CURRENT_LIST_DIR}/zkfile.h ${CMAKE_CURRENT_LIST_DIR}/zkfile_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zkurlfilesizecache.h ${CMAKE_CURRENT_LIST_DIR}/zkurlfilesizecache_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/zkhttpdownload.h ${CMAKE_CURRENT_LIST_DIR}/zkhttpdownload_win.cpp)
  target_link_libraries(zkhttpdownload PUBLIC zkgethttp zkcommonfunc zkerrorcodes zkframework)

  # Peers: nginx with the test files, and a fault server that ignores ranges.
  set(zk_download_nginx_port ${ZK_PORT_DOWNLOAD_NGINX})
  set(zk_download_fault_port ${ZK_PORT_DOWNLOAD_FAULT})
  set(zk_download_state ${CMAKE_BINARY_DIR}/download-peers)
  add_test(NAME httpdownload_peers_start
    COMMAND ${CMAKE_SOURCE_DIR}/tests/download/download-peers start ${zk_download_state}
            ${zk_download_nginx_port} ${zk_download_fault_port})
  add_test(NAME httpdownload_peers_stop
    COMMAND ${CMAKE_SOURCE_DIR}/tests/download/download-peers stop ${zk_download_state})
  set_tests_properties(httpdownload_peers_start PROPERTIES FIXTURES_SETUP httpdownload_peers)
  set_tests_properties(httpdownload_peers_stop PROPERTIES FIXTURES_CLEANUP httpdownload_peers)

  zk_test(zkfile_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkfile_test.cpp LIBS zkhttpdownload)
  zk_test(zkhttpdownload_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkhttpdownload_test.cpp LIBS zkhttpdownload zktestsupport_win)
  set_property(TEST zkhttpdownload_test APPEND PROPERTY ENVIRONMENT
    "ZK_HTTP_NGINX_PORT=${zk_download_nginx_port};ZK_HTTP_FAULT_PORT=${zk_download_fault_port};ZK_HTTP_STATE=${zk_download_state}")
  set_tests_properties(zkhttpdownload_test PROPERTIES
    FIXTURES_REQUIRED httpdownload_peers RESOURCE_LOCK httpdownload_peers)
endif()
