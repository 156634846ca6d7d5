# Zip reader: the archive layer, the object API and its platform side (POSIX
# natively, Win32 on Windows) in zkzip; the starter's wide-path reader in
# zkzip_win on top of it; tests and the replay of the damaged-archive corpus.
add_library(zkzip STATIC
  ${CMAKE_CURRENT_LIST_DIR}/zipsource.cpp ${CMAKE_CURRENT_LIST_DIR}/zipsource.h
  ${CMAKE_CURRENT_LIST_DIR}/ziparchive.cpp ${CMAKE_CURRENT_LIST_DIR}/ziparchive.h
  ${CMAKE_CURRENT_LIST_DIR}/zipreader.cpp ${CMAKE_CURRENT_LIST_DIR}/zipreader.h ${CMAKE_CURRENT_LIST_DIR}/zipreader_platform.h)
target_link_libraries(zkzip PUBLIC zlib)

if(ZK_WINDOWS)
  target_sources(zkzip PRIVATE ${CMAKE_CURRENT_LIST_DIR}/zipreader_win.cpp ${CMAKE_CURRENT_LIST_DIR}/zipreader_win.h)
  add_library(zkzip_win STATIC ${CMAKE_CURRENT_LIST_DIR}/zipreaderw_win.cpp ${CMAKE_CURRENT_LIST_DIR}/zipreaderw.h)
  target_link_libraries(zkzip_win PUBLIC zkzip)
  set(zk_zip_platform zkzip_win)
else()
  target_sources(zkzip PRIVATE ${CMAKE_CURRENT_LIST_DIR}/zipreader_posix.cpp)
  set(zk_zip_platform zkzip)
endif()

zk_test(zipreader_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zipreader_test.cpp LIBS ${zk_zip_platform})
if(ZK_WINDOWS)
  zk_test(zipreader_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zipreader_win_test.cpp LIBS zkzip_win)
endif()
