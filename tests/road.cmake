# The whole road under Wine: the web page tool starts the installed older
# starter, which updates itself, fetches the update wizard and starts it; the
# wizard brings the stand-in Quillan1.exe up to date from the patch script and
# starts it. One nginx on the port base serves the release that
# scripts/publish-release makes from these programs.
if(ZK_WINDOWS)
  # The real update wizard, built with the local portal as its avatar root.
  zk_wizard_program(Tesselo1_road "http://127.0.0.1:${ZK_PORT_PORTAL}/")
  set_target_properties(Tesselo1_road PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/road/wizard)

  # The installed program: writes down the run parameters it received.
  add_executable(road_quillan WIN32 wizard/standin_quillan.cpp worker/quillan_new.rc)
  target_link_libraries(road_quillan PRIVATE zkrunparam_wizard)
  set_target_properties(road_quillan PROPERTIES OUTPUT_NAME Quillan1
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/road/program)

  add_test(NAME road_scenario
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/road/scenario ${CMAKE_SYSTEM_PROCESSOR} ${CMAKE_BINARY_DIR}/tests/road/scenario ${ZK_PORT_PORTAL}
            $<TARGET_FILE:Lumora1> $<TARGET_FILE:Lumora1_newer> $<TARGET_FILE:Tesselo1_road>
            $<TARGET_FILE:road_quillan> $<TARGET_FILE:webpage>)
  # Everything the road needs, for the demo and for building the scenario alone.
  add_custom_target(road_programs)
  add_dependencies(road_programs Lumora1 Lumora1_newer Tesselo1_road road_quillan webpage cliptool)
  # The portal listens on the port base, as the starter portal of the starter's
  # scenarios does: run after that portal has stopped.
  set_tests_properties(road_scenario PROPERTIES RUN_SERIAL ON TIMEOUT 600 DEPENDS starter_portal_stop)
endif()
