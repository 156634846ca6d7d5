# The update wizard's run-parameter reader: pure over the run-parameter
# library and the clipboard reader, built for both targets.
if(ZK_WINDOWS)
  set(zk_parsecmdline_runparam zkrunparam_wizard)
else()
  set(zk_parsecmdline_runparam zkrunparam_native)
endif()
add_library(zkparsecmdline STATIC ${CMAKE_CURRENT_LIST_DIR}/zkparsecmdline.cpp ${CMAKE_CURRENT_LIST_DIR}/zkparsecmdline.h)
target_link_libraries(zkparsecmdline PUBLIC ${zk_parsecmdline_runparam} zkcbdata zkcommonfunc_pure zkerrorcodes)

zk_test(zkparsecmdline_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkparsecmdline_test.cpp
  LIBS zkparsecmdline zktestsupport_runenv)

if(ZK_WINDOWS)
  # For real under Wine: a sender's hand-over, and the SEED text on the clipboard.
  add_executable(parsecmdline_receiver ${CMAKE_SOURCE_DIR}/tests/tools/parsecmdline_receiver.cpp)
  target_link_libraries(parsecmdline_receiver PRIVATE zkparsecmdline zktestsupport_win)
  zk_test(zkparsecmdline_wine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkparsecmdline_wine_test.cpp LIBS zktestsupport_win)
  add_dependencies(zkparsecmdline_wine_test parsecmdline_receiver runparam_sender)
  # Beside the test peers (cliptool, runparam_sender), which the test starts from its own folder.
  set_target_properties(zkparsecmdline_wine_test parsecmdline_receiver PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endif()
