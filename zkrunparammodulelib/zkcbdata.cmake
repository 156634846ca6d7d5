# zkcbdata: the SEED clipboard reader (pure decryption, clipboard calls per platform).
set(zk_cbdata_dir ${CMAKE_CURRENT_LIST_DIR})
if(ZK_WINDOWS)
  add_library(zkcbdata STATIC ${zk_cbdata_dir}/zkseed.cpp ${zk_cbdata_dir}/zkcbdata.cpp ${zk_cbdata_dir}/zkcbdata_win.cpp)
  target_link_libraries(zkcbdata PUBLIC user32 kernel32)
else()
  add_library(zkcbdata STATIC ${zk_cbdata_dir}/zkseed.cpp ${zk_cbdata_dir}/zkcbdata.cpp ${zk_cbdata_dir}/zkcbdata_posix.cpp)
endif()
target_include_directories(zkcbdata PUBLIC ${CMAKE_SOURCE_DIR})

zk_test(zkcbdata_test SOURCES ${zk_cbdata_dir}/zkseed_test.cpp ${zk_cbdata_dir}/zkcbdata_test.cpp LIBS zkcbdata)

if(ZK_WINDOWS)
  # The real clipboard, filled by the clipboard tool that lies in the tests folder.
  zk_test(zkcbdata_wine_test SOURCES ${zk_cbdata_dir}/zkcbdata_wine_test.cpp LIBS zkcbdata zktestsupport_win)
  set_target_properties(zkcbdata_wine_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endif()
