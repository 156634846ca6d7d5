# Test peers that the Windows tests and scenarios run: clipboard tool, box watcher.
if(ZK_WINDOWS)
  add_executable(cliptool tools/cliptool.cpp)
  add_executable(boxwatch tools/boxwatch.cpp)
  target_link_options(boxwatch PRIVATE -mwindows)

  add_library(zktest_peer STATIC tools/peer.cpp)
  target_include_directories(zktest_peer PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(zktest_peer PUBLIC ws2_32 GTest::gtest)
  add_dependencies(zktest_peer cliptool boxwatch)

  zk_test(tools_test SOURCES tools/tools_test.cpp LIBS zktest_peer)
endif()
