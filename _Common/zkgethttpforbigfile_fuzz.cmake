# Fuzz driver of the socket getter's answer parsing, and its replay over the committed corpus.
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

zk_fuzz_driver(zkgethttpforbigfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkgethttpforbigfile_fuzz.cpp
  LIBS zkgethttp CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/zkgethttpforbigfile)
