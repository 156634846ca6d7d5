# Parsing speed of a patch script with 100,000 file-list items, beside the bare
# work of folding and indexing the same names (run on request, not a test).
add_executable(parse_patchlist_bench ${CMAKE_CURRENT_LIST_DIR}/parse_patchlist_bench.cpp)
target_link_libraries(parse_patchlist_bench PRIVATE zkpatchscript)
if(ZK_WINDOWS)
  target_sources(parse_patchlist_bench PRIVATE ${CMAKE_SOURCE_DIR}/updatewizard/patchscript_strings.rc)
endif()
