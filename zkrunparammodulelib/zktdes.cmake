# zktdes: the run-parameter library's Triple-DES module (pure), over the
# single-DES core it shares with the starter's corecipher.
add_library(zktdes STATIC
  ${CMAKE_CURRENT_LIST_DIR}/zktdescore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zktdeshex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zktdesbuffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zktdesmodule.cpp)
target_link_libraries(zktdes PUBLIC zkdescore)

zk_test(zktdes_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zktdesmodule_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zktdesbuffer_test.cpp LIBS zktdes cryptopp)
