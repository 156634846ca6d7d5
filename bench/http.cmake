# Throughput of the HTTP getters and of the resumable download on loopback,
# beside bare Winsock and WinINet clients under the same Wine (run by bench/http-bench).
if(ZK_WINDOWS)
  add_executable(httpbench ${CMAKE_CURRENT_LIST_DIR}/httpbench.cpp)
  target_link_libraries(httpbench PRIVATE zkgethttp zkhttpdownload psapi)
  add_executable(rawwinsock_bench ${CMAKE_CURRENT_LIST_DIR}/rawwinsock_bench.cpp)
  target_link_libraries(rawwinsock_bench PRIVATE ws2_32)
  add_executable(rawwininet_bench ${CMAKE_CURRENT_LIST_DIR}/rawwininet_bench.cpp)
  target_link_libraries(rawwininet_bench PRIVATE wininet)
endif()
