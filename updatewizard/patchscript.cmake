# Patch script: the parser, the file lists and the attempt plan are pure and
# built for both targets; the download and its boxes are Windows code.
add_library(zkpatchscript STATIC ${CMAKE_CURRENT_LIST_DIR}/patchscript.h ${CMAKE_CURRENT_LIST_DIR}/patchscript.cpp
  ${CMAKE_CURRENT_LIST_DIR}/patchfilelists.h ${CMAKE_CURRENT_LIST_DIR}/patchfilelists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/patchscriptdownload.h ${CMAKE_CURRENT_LIST_DIR}/patchscriptdownload.cpp)
target_link_libraries(zkpatchscript PUBLIC zkfilehashinfo zkcommonfunc_pure zkframework)
if(ZK_WINDOWS)
  target_sources(zkpatchscript PRIVATE ${CMAKE_CURRENT_LIST_DIR}/patchscript_win.h ${CMAKE_CURRENT_LIST_DIR}/patchscript_win.cpp)
  target_link_libraries(zkpatchscript PUBLIC zkcommonfunc zkframework_inet)
else()
  target_sources(zkpatchscript PRIVATE ${CMAKE_CURRENT_LIST_DIR}/patchscript_text_posix.cpp)
endif()

set(zk_patchscript_test_sources ${CMAKE_CURRENT_LIST_DIR}/patchscript_test.cpp)
if(ZK_WINDOWS)
  list(APPEND zk_patchscript_test_sources ${CMAKE_CURRENT_LIST_DIR}/patchscript_strings.rc)
endif()
zk_test(patchscript_test SOURCES ${zk_patchscript_test_sources} LIBS zkpatchscript)

if(ZK_WINDOWS)
  # One nginx: its top lacks the scripts (404), its folder "second/" serves as
  # the second root of the patch-server list; the first root's port is closed.
  set(zk_patch_nginx_port ${ZK_PORT_PATCH_NGINX})
  set(zk_patch_closed_port ${ZK_PORT_PATCH_CLOSED})
  set(zk_patch_state ${CMAKE_BINARY_DIR}/patchscript-peers)
  add_test(NAME patchscript_peers_start COMMAND ${CMAKE_SOURCE_DIR}/tests/peers/nginx-ctl start
    ${zk_patch_state} ${zk_patch_nginx_port} ${CMAKE_SOURCE_DIR}/tests/patchscript/docroot)
  add_test(NAME patchscript_peers_stop COMMAND ${CMAKE_SOURCE_DIR}/tests/peers/nginx-ctl stop ${zk_patch_state})
  set_tests_properties(patchscript_peers_start PROPERTIES FIXTURES_SETUP patchscript_peers)
  set_tests_properties(patchscript_peers_stop PROPERTIES FIXTURES_CLEANUP patchscript_peers)

  zk_test(patchscript_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/patchscript_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/patchscript_strings.rc LIBS zkpatchscript zktestsupport_win)
  set_property(TEST patchscript_win_test APPEND PROPERTY ENVIRONMENT
    "ZK_PATCH_NGINX_PORT=${zk_patch_nginx_port};ZK_PATCH_CLOSED_PORT=${zk_patch_closed_port};ZK_PATCH_STATE=${zk_patch_state}")
  set_tests_properties(patchscript_win_test PROPERTIES FIXTURES_REQUIRED patchscript_peers RESOURCE_LOCK patchscript_peers)
endif()

if(ZK_WINDOWS)
  # The fault server as a patch server that lies about its body's length or
  # keeps sending.
  set(zk_patch_fault_port ${ZK_PORT_PATCH_FAULT})
  set(zk_patch_fault_state ${CMAKE_BINARY_DIR}/patchscript-fault)
  add_test(NAME patchscript_fault_start COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/faultserver/faultserver.py start
    ${zk_patch_fault_state} ${zk_patch_fault_port} ${CMAKE_SOURCE_DIR}/tests/patchscript/fault-cases.json)
  add_test(NAME patchscript_fault_stop COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/faultserver/faultserver.py stop
    ${zk_patch_fault_state})
  set_tests_properties(patchscript_fault_start PROPERTIES FIXTURES_SETUP patchscript_fault)
  set_tests_properties(patchscript_fault_stop PROPERTIES FIXTURES_CLEANUP patchscript_fault)

  zk_test(patchscript_fault_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/patchscript_fault_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/patchscript_strings.rc LIBS zkpatchscript)
  set_property(TEST patchscript_fault_win_test APPEND PROPERTY ENVIRONMENT "ZK_PATCH_FAULT_PORT=${zk_patch_fault_port}")
  set_tests_properties(patchscript_fault_win_test PROPERTIES FIXTURES_REQUIRED patchscript_fault
    RESOURCE_LOCK patchscript_fault)
endif()
