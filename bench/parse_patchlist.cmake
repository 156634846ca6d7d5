# Parsing speed of a patch script with 100,000 file-list items, beside the bare
# work of folding and indexing the same names (run on request, not a test).
set(zk_parse_patchlist_sources ${CMAKE_CURRENT_LIST_DIR}/parse_patchlist_bench.cpp)
if(ZK_WINDOWS)
  list(APPEND zk_parse_patchlist_sources ${CMAKE_SOURCE_DIR}/updatewizard/patchscript_strings.rc)
endif()
if(COMMAND zk_bench)
  zk_bench(parse_patchlist_bench SOURCES ${zk_parse_patchlist_sources} LIBS zkpatchscript)
else()
  add_executable(parse_patchlist_bench ${zk_parse_patchlist_sources})
  target_link_libraries(parse_patchlist_bench PRIVATE zkpatchscript)
endif()
