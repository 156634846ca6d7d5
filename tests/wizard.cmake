# The update wizard's program scenarios under Wine: a build of Tesselo1.exe
# whose built-in addresses are the test's peers, the stand-ins of the
# installed program and of the wizard's parent, nginx serving the patch
# scripts and zips, and a fault server as the statistics server.
if(ZK_WINDOWS)
  # The avatar root is the scenario's nginx. Both cookie targets are domains
  # of 127.0.0.1, so that the cookies come back in the requests to the peers.
  function(zk_wizard_scenario_program)
    set(ZK_WIZARD_COOKIE_DOMAIN1 "127.0.0.1")
    set(ZK_WIZARD_COOKIE_URL1 "http://127.0.0.1:${ZK_PORT_WIZARD_PORTAL}/")
    set(ZK_WIZARD_COOKIE_DOMAIN2 "0.0.1")
    set(ZK_WIZARD_COOKIE_URL2 "http://127.0.0.1:${ZK_PORT_WIZARD_PORTAL}/")
    zk_wizard_program(Tesselo1_testpeer "http://127.0.0.1:${ZK_PORT_WIZARD_PORTAL}/")
  endfunction()
  zk_wizard_scenario_program()

  # The installed program: the one in the zip and an older one.
  set(zk_wizard_programs ${CMAKE_CURRENT_BINARY_DIR}/wizard-programs)
  foreach(name new old)
    add_executable(wizard_standin_quillan_${name} WIN32 wizard/standin_quillan.cpp wizard/standin_quillan_${name}.rc)
    target_link_libraries(wizard_standin_quillan_${name} PRIVATE zkrunparam_wizard)
    set_target_properties(wizard_standin_quillan_${name} PROPERTIES
      OUTPUT_NAME quillan_${name} RUNTIME_OUTPUT_DIRECTORY ${zk_wizard_programs})
  endforeach()
  add_executable(wizard_sender wizard/wizard_sender.cpp wizard/wizard_sender.rc)
  target_link_libraries(wizard_sender PRIVATE zkrunparam_wizard)
  set_target_properties(wizard_sender PROPERTIES OUTPUT_NAME WizSender)

  set(zk_wizard_fault_port ${ZK_PORT_WIZARD_FAULT})
  set(zk_wizard_state ${CMAKE_CURRENT_BINARY_DIR}/wizard-peers)
  add_test(NAME wizard_fixture
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/wizard/wizard-fixture ${zk_wizard_state} ${ZK_PORT_WIZARD_PORTAL}
            $<TARGET_FILE:wizard_standin_quillan_new> ${zk_wizard_fault_port} ${ZK_WIZARD_MAX_PROGRAM_ARCHIVE_BYTES})
  # Two addresses under the roots answer with a redirect to the fault server,
  # another host to the wizard.
  set(zk_wizard_fault_root "http://127.0.0.1:${zk_wizard_fault_port}")
  set(zk_wizard_redirects "")
  foreach(zk_moved movedzip/Quillan1.zip movedlist/CorvaliseAvatar_hash.htm)
    string(APPEND zk_wizard_redirects
      " location = /${zk_moved} { return 302 ${zk_wizard_fault_root}/${zk_moved}$<SEMICOLON> }")
  endforeach()
  add_test(NAME wizard_peers_start
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/peers/nginx-ctl start ${zk_wizard_state}/nginx ${ZK_PORT_WIZARD_PORTAL}
            ${zk_wizard_state}/docroot --server "${zk_wizard_redirects}")
  add_test(NAME wizard_fault_start
    COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/faultserver/faultserver.py start ${zk_wizard_state}/fault
            ${zk_wizard_fault_port} ${zk_wizard_state}/faultcases.json)
  add_test(NAME wizard_peers_stop COMMAND ${CMAKE_CURRENT_LIST_DIR}/peers/nginx-ctl stop ${zk_wizard_state}/nginx)
  add_test(NAME wizard_fault_stop
    COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/faultserver/faultserver.py stop ${zk_wizard_state}/fault)
  set_tests_properties(wizard_fixture PROPERTIES FIXTURES_SETUP wizard_data)
  set_tests_properties(wizard_peers_start PROPERTIES FIXTURES_SETUP wizard_peers FIXTURES_REQUIRED wizard_data
    RESOURCE_LOCK zk_wizard_port)
  set_tests_properties(wizard_fault_start PROPERTIES FIXTURES_SETUP wizard_peers FIXTURES_REQUIRED wizard_data
    RESOURCE_LOCK zk_wizard_port)
  set_tests_properties(wizard_peers_stop wizard_fault_stop PROPERTIES FIXTURES_CLEANUP wizard_peers)

  zk_test(wizard_scenarios_test SOURCES wizard/wizard_scenarios_test.cpp LIBS zktestsupport_win zkrunparam_wizard)
  add_dependencies(wizard_scenarios_test Tesselo1_testpeer wizard_standin_quillan_new wizard_standin_quillan_old
    wizard_sender)
  # Beside the box watcher, from where the test starts the wizard.
  set_target_properties(Tesselo1_testpeer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_property(TEST wizard_scenarios_test APPEND PROPERTY ENVIRONMENT
    "ZK_WIZARD_NGINX_PORT=${ZK_PORT_WIZARD_PORTAL};ZK_WIZARD_FAULT_PORT=${zk_wizard_fault_port};ZK_WIZARD_STATE=${zk_wizard_state}")
  set_tests_properties(wizard_scenarios_test PROPERTIES FIXTURES_REQUIRED "wizard_data;wizard_peers"
    RUN_SERIAL ON RESOURCE_LOCK zk_wizard_port)
endif()

# The update wizard program's requests and their agents, as nginx logs them,
# against the same nginx and stand-in.
if(ZK_WINDOWS)
  zk_test(wizardapp_agent_win_test SOURCES ${CMAKE_SOURCE_DIR}/updatewizard/wizardapp_agent_win_test.cpp
    LIBS zktestsupport_win zkrunparam_wizard shell32)
  add_dependencies(wizardapp_agent_win_test Tesselo1_testpeer wizard_standin_quillan_new)
  # Beside the wizard build that it starts and the box watcher.
  set_target_properties(wizardapp_agent_win_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_property(TEST wizardapp_agent_win_test APPEND PROPERTY ENVIRONMENT
    "ZK_WIZARD_NGINX_PORT=${ZK_PORT_WIZARD_PORTAL};ZK_WIZARD_NGINX_LOG=${zk_wizard_state}/nginx/access.log")
  set_tests_properties(wizardapp_agent_win_test PROPERTIES FIXTURES_REQUIRED "wizard_data;wizard_peers"
    RUN_SERIAL ON RESOURCE_LOCK zk_wizard_port)
endif()
