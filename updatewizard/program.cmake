# The update wizard program Tesselo1.exe: the start-up checks (pure, both
# targets) and the application with its resources (Windows). The built-in
# addresses are build settings; the scenario uses a build whose avatar root
# is the test's own nginx.
add_library(zkwizardapp_pure STATIC ${CMAKE_CURRENT_LIST_DIR}/wizardapp.cpp ${CMAKE_CURRENT_LIST_DIR}/wizardapp.h)
target_link_libraries(zkwizardapp_pure PUBLIC zkframework_inet zkurltext zkerrorcodes zkframework)

zk_test(wizardapp_test SOURCES ${CMAKE_SOURCE_DIR}/tests/wizard/wizardapp_test.cpp LIBS zkwizardapp_pure)

if(ZK_WINDOWS)
  add_library(zkappmain OBJECT ${CMAKE_SOURCE_DIR}/framework/appmain.cpp ${CMAKE_SOURCE_DIR}/framework/appmain.h)

  # zk_wizard_program(target avatar-root): one build of Tesselo1.exe.
  function(zk_wizard_program target avatar_root)
    add_executable(${target} WIN32 ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wizardapp_win.cpp ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/wizardapp_win.h ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/Tesselo1.rc)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME Tesselo1)
    zk_shipped_program(${target})
    zk_settings_header(${target} ZK_WIZARD_AVATAR_ROOT "${avatar_root}")
    target_link_libraries(${target} PRIVATE zkappmain zkwizardapp_pure zkupdateworker_dialog zkparsecmdline
      zkfileversion zkcommonfunc zkerrorcodes zkframework comctl32 wininet psapi advapi32)
  endfunction()
  zk_wizard_program(Tesselo1 "${ZK_WIZARD_AVATAR_ROOT}")

  # The wizard's boxes with its own string table, without starting the program.
  zk_test(wizardapp_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizardapp_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizardapp_win.cpp ${CMAKE_CURRENT_LIST_DIR}/Tesselo1.rc
    LIBS zkwizardapp_pure zkupdateworker_dialog zkparsecmdline zkfileversion zkcommonfunc zkerrorcodes zkframework
      comctl32 wininet psapi advapi32)
endif()
