# Fuzz driver of the clipboard parameter text, and its replay over the committed corpus.
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

zk_fuzz_driver(zkparsecmdline SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkparsecmdline_fuzz.cpp
  LIBS zkparsecmdline zktestsupport_runenv CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/zkparsecmdline)
