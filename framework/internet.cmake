# Internet classes of the framework: the URL splitter (pure, both targets)
# and, for Windows, the session, connection and request classes on WinINet.
add_library(zkframework_inet STATIC interneturl.cpp interneturl.h)
target_include_directories(zkframework_inet PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(zkframework_inet PUBLIC zkframework)
if(ZK_WINDOWS)
  target_sources(zkframework_inet PRIVATE internet_win.cpp internet.h)
  target_link_libraries(zkframework_inet PUBLIC wininet ws2_32)
endif()

zk_test(interneturl_test SOURCES interneturl_test.cpp LIBS zkframework_inet)
