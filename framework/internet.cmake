# Internet classes of the framework: the URL splitter (pure, both targets)
# and, for Windows, the session, connection and request classes on WinINet.
add_library(zkframework_inet STATIC ${CMAKE_CURRENT_LIST_DIR}/interneturl.cpp ${CMAKE_CURRENT_LIST_DIR}/interneturl.h)
target_link_libraries(zkframework_inet PUBLIC zkframework)
if(ZK_WINDOWS)
  target_sources(zkframework_inet PRIVATE ${CMAKE_CURRENT_LIST_DIR}/internet_win.cpp ${CMAKE_CURRENT_LIST_DIR}/internet.h)
  target_link_libraries(zkframework_inet PUBLIC wininet ws2_32)
endif()

zk_test(interneturl_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/interneturl_test.cpp LIBS zkframework_inet)
