# The update wizard program's requests and their agents, as nginx logs them
# (under Wine, against the wizard scenario's nginx and stand-in).
if(ZK_WINDOWS)
  zk_test(wizardapp_agent_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizardapp_agent_win_test.cpp
    LIBS zktest_peer zkrunparam_wizard shell32)
  add_dependencies(wizardapp_agent_win_test Tesselo1_testpeer wizard_standin_quillan)
  # Beside the wizard build that it starts and the box watcher.
  set_target_properties(wizardapp_agent_win_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set_property(TEST wizardapp_agent_win_test APPEND PROPERTY ENVIRONMENT
    "ZK_WIZARD_NGINX_PORT=${ZK_WIZARD_PORTAL_PORT};ZK_WIZARD_NGINX_LOG=${zk_wizard_state}/nginx/access.log")
  set_tests_properties(wizardapp_agent_win_test PROPERTIES FIXTURES_REQUIRED "wizard_data;wizard_peers"
    RUN_SERIAL ON RESOURCE_LOCK zk_wizard_port)
endif()
