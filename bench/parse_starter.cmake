# The starter's pair-text parse against a bare scan of the same text (run on
# request, not a test): parse_starter_bench [megabytes].
if(COMMAND zk_bench)
  zk_bench(parse_starter_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/parse_starter_bench.cpp LIBS zkstarter_intake)
else()
  add_executable(parse_starter_bench ${CMAKE_CURRENT_LIST_DIR}/parse_starter_bench.cpp)
  target_link_libraries(parse_starter_bench PRIVATE zkstarter_intake)
endif()
