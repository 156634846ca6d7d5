# zkcbdata: the SEED clipboard reader (pure decryption, clipboard calls per platform).
if(ZK_WINDOWS)
  add_library(zkcbdata STATIC ${CMAKE_CURRENT_LIST_DIR}/zkseed.cpp ${CMAKE_CURRENT_LIST_DIR}/zkcbdata.cpp ${CMAKE_CURRENT_LIST_DIR}/zkcbdata_win.cpp)
  target_link_libraries(zkcbdata PUBLIC user32 kernel32)
else()
  add_library(zkcbdata STATIC ${CMAKE_CURRENT_LIST_DIR}/zkseed.cpp ${CMAKE_CURRENT_LIST_DIR}/zkcbdata.cpp ${CMAKE_CURRENT_LIST_DIR}/zkcbdata_posix.cpp)
endif()

zk_test(zkcbdata_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkseed_test.cpp ${CMAKE_CURRENT_LIST_DIR}/zkcbdata_test.cpp LIBS zkcbdata)

if(ZK_WINDOWS)
  # The real clipboard, filled by the clipboard tool that lies in the tests folder.
  zk_test(zkcbdata_wine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkcbdata_wine_test.cpp LIBS zkcbdata zktestsupport_win)
  set_target_properties(zkcbdata_wine_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endif()
