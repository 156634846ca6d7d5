# Fuzz driver of corecipher's hex text and decryption, and its replay over the committed corpus.
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

zk_fuzz_driver(corecipher SOURCES ${CMAKE_CURRENT_LIST_DIR}/corecipher_fuzz.cpp
  LIBS zkcorecipher CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/corecipher)
