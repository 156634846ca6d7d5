# Zip reader: the archive layer, the object API and its platform side (POSIX
# natively, Win32 on Windows) in zkzip; the starter's wide-path reader in
# zkzip_win on top of it; tests and the replay of the damaged-archive corpus.
add_library(zkzip STATIC
  zipsource.cpp zipsource.h
  ziparchive.cpp ziparchive.h
  zipreader.cpp zipreader.h zipreader_platform.h)
target_include_directories(zkzip PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(zkzip PUBLIC zlib)

if(ZK_WINDOWS)
  target_sources(zkzip PRIVATE zipreader_win.cpp zipreader_win.h)
  add_library(zkzip_win STATIC zipreaderw_win.cpp zipreaderw.h)
  target_include_directories(zkzip_win PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(zkzip_win PUBLIC zkzip)
  set(zk_zip_platform zkzip_win)
else()
  target_sources(zkzip PRIVATE zipreader_posix.cpp)
  set(zk_zip_platform zkzip)
endif()

zk_test(zipreader_test SOURCES zipreader_test.cpp LIBS ${zk_zip_platform})
if(ZK_WINDOWS)
  zk_test(zipreader_win_test SOURCES zipreader_win_test.cpp LIBS zkzip_win)
endif()
