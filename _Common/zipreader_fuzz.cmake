# Fuzz driver of the zip reader over a memory source, and its replay over the
# committed corpus (the test archives and what fuzzing found worth keeping).
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

zk_fuzz_driver(zipreader SOURCES ${CMAKE_CURRENT_LIST_DIR}/zipreader_fuzz.cpp
  LIBS ${zk_zip_platform} CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/zipreader)
