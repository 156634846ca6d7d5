# The update wizard program Tesselo1.exe: the start-up checks (pure, both
# targets) and the application with its resources (Windows). The built-in
# addresses are build settings; the scenario uses a build whose avatar root
# is the test's own nginx.
set(ZK_WIZARD_VERSION "1.0.0.1" CACHE STRING "File version of the update wizard")
set(ZK_WIZARD_AVATAR_ROOT "http://patch1.zkgames.test:30109/" CACHE STRING
  "Avatar root (port 30109, final slash) that an AvatarURL must begin with")
set(ZK_WIZARD_PATCH_SERVER_LIST "http://patch2.zkgames.test:49254/;http://patch3.zkgames.test:28547/" CACHE STRING
  "The two further patch-server roots, joined by ';'")
set(ZK_WIZARD_TRUSTED_SUFFIXES ".zkgames.test;.zkportal.test;.zkplay.test" CACHE STRING
  "Trusted host suffixes of UpdateURL, each beginning with a dot, joined by ';'")
set(ZK_WIZARD_COOKIE_DOMAIN1 "zkgames.test" CACHE STRING "Domain of the first portal cookie target")
set(ZK_WIZARD_COOKIE_URL1 "http://member.zkgames.test/" CACHE STRING "Web address of the first cookie target")
set(ZK_WIZARD_COOKIE_DOMAIN2 "zkportal.test" CACHE STRING "Domain of the second portal cookie target")
set(ZK_WIZARD_COOKIE_URL2 "http://www.zkportal.test/" CACHE STRING "Web address of the second cookie target")

add_library(zkwizardapp_pure STATIC ${CMAKE_CURRENT_LIST_DIR}/wizardapp.cpp ${CMAKE_CURRENT_LIST_DIR}/wizardapp.h)
target_include_directories(zkwizardapp_pure PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(zkwizardapp_pure PUBLIC zkframework_inet zkerrorcodes zkframework)

zk_test(wizardapp_test SOURCES ${CMAKE_SOURCE_DIR}/tests/wizard/wizardapp_test.cpp LIBS zkwizardapp_pure)

if(ZK_WINDOWS)
  add_library(zkappmain OBJECT ${CMAKE_SOURCE_DIR}/framework/appmain.cpp ${CMAKE_SOURCE_DIR}/framework/appmain.h)
  target_include_directories(zkappmain PUBLIC ${CMAKE_SOURCE_DIR})

  # zk_wizard_program(target avatar-root): one build of Tesselo1.exe.
  function(zk_wizard_program target avatar_root)
    set(dir ${CMAKE_SOURCE_DIR}/updatewizard)
    add_executable(${target} WIN32 ${dir}/wizardapp_win.cpp ${dir}/wizardapp_win.h ${dir}/Tesselo1.rc)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME Tesselo1)
    zk_shipped_program(${target})
    string(REPLACE "." "," zk_version_commas "${ZK_WIZARD_VERSION}")
    set(zk_avatar_root "${avatar_root}")
    set(header_dir ${CMAKE_BINARY_DIR}/generated/${target})
    configure_file(${dir}/wizardapp_settings.h.in ${header_dir}/zkwizardsettings.h @ONLY)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${header_dir})
    target_link_libraries(${target} PRIVATE zkappmain zkwizardapp_pure zkupdateworker_dialog zkparsecmdline
      zkfileversion zkcommonfunc zkerrorcodes zkframework comctl32 wininet psapi advapi32)
  endfunction()
  zk_wizard_program(Tesselo1 "${ZK_WIZARD_AVATAR_ROOT}")

  # The wizard's boxes with its own string table, without starting the program.
  zk_test(wizardapp_win_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizardapp_win_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizardapp_win.cpp ${CMAKE_CURRENT_LIST_DIR}/Tesselo1.rc
    LIBS zkwizardapp_pure zkupdateworker_dialog zkparsecmdline zkfileversion zkcommonfunc zkerrorcodes zkframework
      comctl32 wininet psapi advapi32)
  target_include_directories(wizardapp_win_test PRIVATE ${CMAKE_BINARY_DIR}/generated/Tesselo1)
endif()
