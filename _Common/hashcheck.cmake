# Hash check and hash list: the checks and the AES-protected values are pure
# (both targets); the hash list's download and ini reading are Windows code.
add_library(zkfilehashinfo STATIC ${CMAKE_CURRENT_LIST_DIR}/zkfilehashinfo.h ${CMAKE_CURRENT_LIST_DIR}/zkfilehashinfo.cpp)
target_link_libraries(zkfilehashinfo PUBLIC cryptopp zkcommonfunc_pure zkerrorcodes zkframework)
if(ZK_WINDOWS)
  target_sources(zkfilehashinfo PRIVATE ${CMAKE_CURRENT_LIST_DIR}/zkfilehashinfo_win.cpp)
  target_link_libraries(zkfilehashinfo PUBLIC zkhttpdownload zkcommonfunc)
else()
  target_sources(zkfilehashinfo PRIVATE ${CMAKE_CURRENT_LIST_DIR}/zkfilehashinfo_posix.cpp)
endif()

# Reference data made by openssl and hashlib, and (Windows) nginx serving its hash lists.
set(zk_hash_data ${CMAKE_BINARY_DIR}/hashcheck-data)
add_test(NAME hashcheck_fixture COMMAND ${CMAKE_SOURCE_DIR}/tests/download/hashlist-fixture ${zk_hash_data})
set_tests_properties(hashcheck_fixture PROPERTIES FIXTURES_SETUP hashcheck_data)

zk_test(zkfilehashinfo_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkfilehashinfo_test.cpp LIBS zkfilehashinfo)
set_property(TEST zkfilehashinfo_test APPEND PROPERTY ENVIRONMENT "ZK_HASH_DATA=${zk_hash_data}")
set_tests_properties(zkfilehashinfo_test PROPERTIES FIXTURES_REQUIRED hashcheck_data)

if(ZK_WINDOWS)
  set(zk_hash_nginx_port ${ZK_PORT_HASH_NGINX})
  add_test(NAME hashcheck_peers_start
    COMMAND ${CMAKE_SOURCE_DIR}/tests/peers/nginx-ctl start ${zk_hash_data}/nginx ${zk_hash_nginx_port} ${zk_hash_data}/docroot)
  add_test(NAME hashcheck_peers_stop COMMAND ${CMAKE_SOURCE_DIR}/tests/peers/nginx-ctl stop ${zk_hash_data}/nginx)
  set_tests_properties(hashcheck_peers_start PROPERTIES FIXTURES_SETUP hashcheck_peers FIXTURES_REQUIRED hashcheck_data)
  set_tests_properties(hashcheck_peers_stop PROPERTIES FIXTURES_CLEANUP hashcheck_peers)

  zk_test(zkfilehashinfo_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkfilehashinfo_win_test.cpp LIBS zkfilehashinfo)
  set_property(TEST zkfilehashinfo_win_test APPEND PROPERTY ENVIRONMENT
    "ZK_HASH_DATA=${zk_hash_data};ZK_HASH_NGINX_PORT=${zk_hash_nginx_port}")
  set_tests_properties(zkfilehashinfo_win_test PROPERTIES
    FIXTURES_REQUIRED "hashcheck_data;hashcheck_peers" RESOURCE_LOCK hashcheck_peers)
endif()
