# The wizard's skin controls (the rescaling arithmetic is pure) and its dialog.
add_library(zkskin_pure STATIC ${CMAKE_CURRENT_LIST_DIR}/skinreposition.cpp)
zk_test(skinreposition_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/skinreposition_test.cpp LIBS zkskin_pure)

if(ZK_WINDOWS)
  add_library(zkskin STATIC
    ${CMAKE_CURRENT_LIST_DIR}/skinreposition_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/skinregion_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/skinbitmap_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/skinbutton_win.cpp)
  target_link_libraries(zkskin PUBLIC zkskin_pure zkframework_ui winmm)

  # The dialog; a program that links it gets its template and bitmaps too.
  add_library(zkwizarddlg STATIC ${CMAKE_CURRENT_LIST_DIR}/wizarddlg.cpp)
  target_sources(zkwizarddlg INTERFACE ${CMAKE_CURRENT_LIST_DIR}/wizarddlg.rc)
  target_link_libraries(zkwizarddlg PUBLIC zkskin zkcommonfunc zkerrorcodes zkframework)

  zk_test(skin_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_win_test.cpp LIBS zkwizarddlg)
  zk_test(wizarddlg_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizarddlg_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizarddlg_test.rc LIBS zkwizarddlg)
endif()
