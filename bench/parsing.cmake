# Growth of the starter's pair parser and the patch script's list parser with their input.
zk_bench(parsing_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/parsing_bench.cpp LIBS zkstarter_intake zkpatchscript)
