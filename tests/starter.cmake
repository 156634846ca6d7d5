# The starter's scenarios under Wine: the web page tool, the stand-in update
# wizard, a newer starter for the self-update, the local portal and the test.
if(ZK_WINDOWS)
  add_library(zkstarter_webpage STATIC starter/webpage.cpp)
  target_link_libraries(zkstarter_webpage PUBLIC zkcorecipher zktestsupport_win)
  add_executable(webpage starter/webpage_main.cpp)
  target_link_libraries(webpage PRIVATE zkstarter_webpage psapi)
endif()

if(ZK_WINDOWS)
  add_executable(standin_wizard WIN32 starter/standin_wizard.cpp starter/standin.rc)
  target_link_libraries(standin_wizard PRIVATE zkrunparam_wizard)
  set_target_properties(standin_wizard PROPERTIES OUTPUT_NAME Tesselo1
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/standin)
  # Planted under the names of the self-update batch file's commands.
  add_executable(standin_planted starter/standin_planted.cpp)
  set_target_properties(standin_planted PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/standin)
endif()

if(ZK_WINDOWS)
  zk_starter_program(Lumora1_newer 1.0.0.9)
  set_target_properties(Lumora1_newer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/newer)
  # The starter whose self-update calls fail as ZKTEST_STARTER_FAULT asks.
  zk_starter_program(Lumora1_faults "" ${CMAKE_CURRENT_LIST_DIR}/starter/starter_faults.cpp)
  set_target_properties(Lumora1_faults PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/faults)

  # Beside the portal: a foreign portal on + 15 and a hostile server on + 16.
  set(zk_starter_portal ${CMAKE_BINARY_DIR}/tests/starter-portal)
  add_test(NAME starter_portal_start
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/starter/portal.sh start ${zk_starter_portal} ${ZK_PORT_PORTAL}
            $<TARGET_FILE:Lumora1_newer> $<TARGET_FILE:standin_wizard> ${ZK_PORT_STARTER_FOREIGN}
            ${ZK_PORT_STARTER_HOSTILE})
  add_test(NAME starter_portal_stop COMMAND ${CMAKE_CURRENT_LIST_DIR}/starter/portal.sh stop ${zk_starter_portal})
  set_tests_properties(starter_portal_start PROPERTIES FIXTURES_SETUP starter_portal)
  set_tests_properties(starter_portal_stop PROPERTIES FIXTURES_CLEANUP starter_portal)

  zk_test(starter_scenarios_test SOURCES starter/starter_scenarios_test.cpp LIBS zkstarter_webpage zktestsupport_win version)
  add_dependencies(starter_scenarios_test Lumora1 Lumora1_newer Lumora1_faults standin_wizard standin_planted)
  set_tests_properties(starter_scenarios_test PROPERTIES FIXTURES_REQUIRED starter_portal RUN_SERIAL ON
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endif()
