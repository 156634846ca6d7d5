# Fuzz drivers of the run-parameter library's receiving side, and their replay
# over the committed corpora.
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

set(zk_fuzz_runparam_dir ${CMAKE_CURRENT_LIST_DIR})
zk_fuzz_driver(zktdesmodule SOURCES ${zk_fuzz_runparam_dir}/zktdesmodule_fuzz.cpp
  LIBS zktdes CORPUS ${zk_fuzz_runparam_dir}/testdata/fuzz/zktdesmodule)
zk_fuzz_driver(zkcbdata SOURCES ${zk_fuzz_runparam_dir}/zkcbdata_fuzz.cpp
  LIBS zkcbdata cryptopp CORPUS ${zk_fuzz_runparam_dir}/testdata/fuzz/zkcbdata)
if(NOT ZK_WINDOWS)
  zk_fuzz_driver(zkrunparam SOURCES ${zk_fuzz_runparam_dir}/zkrunparam_fuzz.cpp
    LIBS zkrunparam_native zktestsupport_runenv CORPUS ${zk_fuzz_runparam_dir}/testdata/fuzz/zkrunparam)
endif()
