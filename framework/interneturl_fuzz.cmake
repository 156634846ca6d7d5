# Fuzz driver of the URL splitter, and its replay over the committed corpus.
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

zk_fuzz_driver(interneturl SOURCES ${CMAKE_CURRENT_LIST_DIR}/interneturl_fuzz.cpp
  LIBS zkframework_inet CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/interneturl)
