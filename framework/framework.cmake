# zkframework: our small substitute of the framework classes. The strings
# (and AfxExtractSubString) are pure and build natively too; the rest is Win32.
if(ZK_WINDOWS)
  add_library(zkframework STATIC
    ${CMAKE_CURRENT_LIST_DIR}/cstring.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cstring_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/winapp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/thread.cpp)
else()
  add_library(zkframework STATIC
    ${CMAKE_CURRENT_LIST_DIR}/cstring.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cstring_posix.cpp)
endif()

zk_test(framework_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/cstring_test.cpp LIBS zkframework)
if(ZK_WINDOWS)
  target_sources(framework_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/framework_win_test.cpp ${CMAKE_CURRENT_LIST_DIR}/framework_test.rc)
endif()
