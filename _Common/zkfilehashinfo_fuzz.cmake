# Fuzz driver of the hash list's section and values, and its replay over the committed corpus.
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

zk_fuzz_driver(zkfilehashinfo SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkfilehashinfo_fuzz.cpp
  LIBS zkfilehashinfo CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/zkfilehashinfo)
