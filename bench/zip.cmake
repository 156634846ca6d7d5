# Unpacking speed of the zip reader beside zlib's raw inflate (run on request,
# not a test): zip_bench [megabytes].
if(ZK_WINDOWS)
  add_executable(zip_bench ${CMAKE_CURRENT_LIST_DIR}/zip_bench.cpp)
  target_link_libraries(zip_bench PRIVATE zkzip_win zlib psapi)
else()
  add_executable(zip_bench ${CMAKE_CURRENT_LIST_DIR}/zip_bench.cpp)
  target_link_libraries(zip_bench PRIVATE zkzip zlib)
endif()
