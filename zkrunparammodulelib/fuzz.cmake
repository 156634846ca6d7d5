# Fuzz drivers of the run-parameter library's receiving side, and their replay
# over the committed corpora.
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

zk_fuzz_driver(zktdesmodule SOURCES ${CMAKE_CURRENT_LIST_DIR}/zktdesmodule_fuzz.cpp
  LIBS zktdes CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/zktdesmodule)
zk_fuzz_driver(zkcbdata SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkcbdata_fuzz.cpp
  LIBS zkcbdata cryptopp CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/zkcbdata)
if(NOT ZK_WINDOWS)
  zk_fuzz_driver(zkrunparam SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkrunparam_fuzz.cpp
    LIBS zkrunparam_native zktestsupport_runenv CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/zkrunparam)
endif()
