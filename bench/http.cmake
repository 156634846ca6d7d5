# Throughput of the HTTP getters on loopback (run bench/http-bench).
if(ZK_WINDOWS)
  add_executable(httpbench ${CMAKE_CURRENT_LIST_DIR}/httpbench.cpp)
  target_link_libraries(httpbench PRIVATE zkgethttp psapi)
endif()
