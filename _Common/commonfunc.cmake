# Shared helpers of the toolkit: the text helpers are pure and built for both
# targets; message boxes, string-table texts, trace and folders are Windows code.
add_library(zkcommonfunc_pure STATIC ${CMAKE_CURRENT_LIST_DIR}/zkcommonfunc.cpp ${CMAKE_CURRENT_LIST_DIR}/zkcommonfunc.h)
target_link_libraries(zkcommonfunc_pure PUBLIC zkframework)

zk_test(zkcommonfunc_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkcommonfunc_test.cpp LIBS zkcommonfunc_pure)

if(ZK_WINDOWS)
  add_library(zkcommonfunc STATIC ${CMAKE_CURRENT_LIST_DIR}/zkcommonfunc_win.cpp ${CMAKE_CURRENT_LIST_DIR}/zkcommonfunc_win.h)
  target_link_libraries(zkcommonfunc PUBLIC zkcommonfunc_pure zkframework)

  # A resource module whose string table lacks the default caption.
  add_library(zkcommonfunc_nocaption SHARED ${CMAKE_CURRENT_LIST_DIR}/zkcommonfunc_testmodule.c
    ${CMAKE_CURRENT_LIST_DIR}/testdata/commonfunc/nocaption.rc)
  set_target_properties(zkcommonfunc_nocaption PROPERTIES PREFIX "")

  zk_test(zkcommonfunc_win_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkcommonfunc_win_test.cpp ${CMAKE_CURRENT_LIST_DIR}/testdata/commonfunc/strings.rc
    LIBS zkcommonfunc zktestsupport_win)
  add_dependencies(zkcommonfunc_win_test zkcommonfunc_nocaption)
  # Beside the test peers (boxwatch), which the tests start from their own folder.
  set_target_properties(zkcommonfunc_win_test zkcommonfunc_nocaption PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endif()
