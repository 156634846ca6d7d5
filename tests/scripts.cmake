# The project's own scripts: the reservation of a run's ports, the re-basing
# of a configured folder, the source lists of install-deps, the configure
# step's refusal of a root without its final "/", and the verdict on what this
# machine runs with the stop of a run that no Wine can serve. Native build
# only: they run no program under Wine.
if(NOT ZK_WINDOWS)
  add_test(NAME port_range_test
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/scripts/port-range-test ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/port-range-test)
  set_tests_properties(port_range_test PROPERTIES ENVIRONMENT "ZK_PORT_BASE=${ZK_PORT_BASE}" TIMEOUT 600)
  add_test(NAME enable_deb_src_test
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/scripts/enable-deb-src-test ${CMAKE_SOURCE_DIR}
            ${CMAKE_CURRENT_BINARY_DIR}/enable-deb-src-test)
  add_test(NAME settings_roots_test
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/scripts/settings-roots-test ${CMAKE_SOURCE_DIR}
            ${CMAKE_CURRENT_BINARY_DIR}/settings-roots-test)
  add_test(NAME no_wine_test
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/scripts/no-wine-test ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/no-wine-test)
endif()
