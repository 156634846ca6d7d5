# The update wizard's run-parameter reader: pure over the run-parameter
# library and the clipboard reader, built for both targets.
set(zk_parsecmdline_dir ${CMAKE_CURRENT_LIST_DIR})
if(ZK_WINDOWS)
  set(zk_parsecmdline_runparam zkrunparam_wizard)
else()
  set(zk_parsecmdline_runparam zkrunparam_native)
endif()
add_library(zkparsecmdline STATIC ${zk_parsecmdline_dir}/zkparsecmdline.cpp ${zk_parsecmdline_dir}/zkparsecmdline.h)
target_include_directories(zkparsecmdline PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(zkparsecmdline PUBLIC ${zk_parsecmdline_runparam} zkcbdata zkcommonfunc_pure zkerrorcodes)

zk_test(zkparsecmdline_test
  SOURCES ${zk_parsecmdline_dir}/zkparsecmdline_test.cpp
  LIBS zkparsecmdline zktestsupport_runenv)

if(ZK_WINDOWS)
  # For real under Wine: a sender's hand-over, and the SEED text on the clipboard.
  add_executable(parsecmdline_receiver ${CMAKE_SOURCE_DIR}/tests/tools/parsecmdline_receiver.cpp)
  target_link_libraries(parsecmdline_receiver PRIVATE zkparsecmdline zktestsupport_win)
  zk_test(zkparsecmdline_wine_test SOURCES ${zk_parsecmdline_dir}/zkparsecmdline_wine_test.cpp LIBS zktestsupport_win)
  add_dependencies(zkparsecmdline_wine_test parsecmdline_receiver runparam_sender)
  # Beside the test peers (cliptool, runparam_sender), which the test starts from its own folder.
  set_target_properties(zkparsecmdline_wine_test parsecmdline_receiver PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endif()
