# Fuzz drivers of the starter's parsers and their replay over the committed corpora.
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

# Pair texts are capped: their parse is known to grow faster than the text.
zk_fuzz_driver(starter_intake SOURCES ${CMAKE_CURRENT_LIST_DIR}/intake_fuzz.cpp
  LIBS zkstarter_intake CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/intake MAX_LEN 4096)
zk_fuzz_driver(starter_updatebatch SOURCES ${CMAKE_CURRENT_LIST_DIR}/updatebatch_fuzz.cpp
  LIBS zkstarter_pure zkstarter_intake CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/updatebatch)
