# Fuzz driver of the patch script's parser, and its replay over the committed corpus.
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

# Scripts are capped: adding to the file list is known to grow faster than
# the list, which must not hide other findings.
zk_fuzz_driver(patchscript SOURCES ${CMAKE_CURRENT_LIST_DIR}/patchscript_fuzz.cpp
  LIBS zkpatchscript CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/patchscript MAX_LEN 16384)
