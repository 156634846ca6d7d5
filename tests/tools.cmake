# Test peers that the Windows tests and scenarios run: clipboard tool, box watcher.
if(ZK_WINDOWS)
  add_executable(cliptool tools/cliptool.cpp)
  add_executable(boxwatch tools/boxwatch.cpp)
  target_link_options(boxwatch PRIVATE -mwindows)

  zk_test(tools_test SOURCES tools/tools_test.cpp LIBS zktestsupport_win)
endif()
