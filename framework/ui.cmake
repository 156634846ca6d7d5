# zkframework_ui: the framework's dialogs, controls and drawing classes (Win32 only).
if(ZK_WINDOWS)
  add_library(zkframework_ui STATIC ${CMAKE_CURRENT_LIST_DIR}/dialog.cpp ${CMAKE_CURRENT_LIST_DIR}/gdi.cpp)
  target_link_libraries(zkframework_ui PUBLIC zkframework user32 gdi32)
  zk_test(framework_ui_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog_test.rc LIBS zkframework_ui)
endif()
