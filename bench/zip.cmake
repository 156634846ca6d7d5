# Unpacking speed of the zip reader beside zlib's raw inflate and CRC-32: zip_bench [megabytes].
if(ZK_WINDOWS)
  zk_bench(zip_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/zip_bench.cpp LIBS zkzip_win zlib psapi)
else()
  zk_bench(zip_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/zip_bench.cpp LIBS zkzip zlib)
endif()
