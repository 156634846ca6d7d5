# Patch script: the parser, the file lists and the attempt plan are pure and
# built for both targets; the download and its boxes are Windows code.
set(ZK_PATCH_TEST_SERVER_PREFIX "http://192.168.0." CACHE STRING
  "Address prefix (17 characters) of the test patch server, which gets a single attempt")

add_library(zkpatchscript STATIC ${CMAKE_CURRENT_LIST_DIR}/patchscript.h ${CMAKE_CURRENT_LIST_DIR}/patchscript.cpp)
target_include_directories(zkpatchscript PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(zkpatchscript PRIVATE "ZK_PATCH_TEST_SERVER_PREFIX=\"${ZK_PATCH_TEST_SERVER_PREFIX}\"")
target_link_libraries(zkpatchscript PUBLIC zkfilehashinfo zkcommonfunc_pure zkframework)
if(ZK_WINDOWS)
  target_sources(zkpatchscript PRIVATE ${CMAKE_CURRENT_LIST_DIR}/patchscript_win.h ${CMAKE_CURRENT_LIST_DIR}/patchscript_win.cpp)
  target_link_libraries(zkpatchscript PUBLIC zkcommonfunc zkframework_inet)
else()
  target_sources(zkpatchscript PRIVATE ${CMAKE_CURRENT_LIST_DIR}/patchscript_text_posix.cpp)
endif()

set(zk_patchscript_test_sources ${CMAKE_CURRENT_LIST_DIR}/patchscript_test.cpp)
if(ZK_WINDOWS)
  list(APPEND zk_patchscript_test_sources ${CMAKE_CURRENT_LIST_DIR}/patchscript_strings.rc)
endif()
zk_test(patchscript_test SOURCES ${zk_patchscript_test_sources} LIBS zkpatchscript)

