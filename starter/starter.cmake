# The starter's pure pieces (both targets) and the program Lumora1.exe (Windows).
add_library(zkstarter_pure STATIC ${CMAKE_CURRENT_LIST_DIR}/versiontext.cpp ${CMAKE_CURRENT_LIST_DIR}/updatebatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/downloadbase.cpp)
target_link_libraries(zkstarter_pure PUBLIC zkurltext)

zk_test(starter_versiontext_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/versiontext_test.cpp LIBS zkstarter_pure)
zk_test(starter_updatebatch_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/updatebatch_test.cpp LIBS zkstarter_pure)
zk_test(starter_downloadbase_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/downloadbase_test.cpp LIBS zkstarter_pure)

if(ZK_WINDOWS)
  # The self-update and the wizard download, with their replaceable system calls.
  add_library(zkstarter_selfupdate STATIC ${CMAKE_CURRENT_LIST_DIR}/selfupdate.cpp)
  target_link_libraries(zkstarter_selfupdate PUBLIC zkstarter_pure zkstarter_intake zkframework zkfileversion
    zkgethttp zkzip_win zkerrorcodes)

  zk_test(starter_selfupdate_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/selfupdate_win_test.cpp ${CMAKE_CURRENT_LIST_DIR}/selfupdate_extract_win_test.cpp
    LIBS zkstarter_selfupdate)

  set(zk_starter_libs zkstarter_pure zkstarter_intake zkframework zkfileversion zkgethttp zkzip_win
      zkrunparam_starter zkcorecipher zkerrorcodes)
  foreach(lib ${zk_starter_libs})
    if(NOT TARGET ${lib})
      message(FATAL_ERROR "Lumora1 needs the library target ${lib}")
    endif()
  endforeach()
    # zk_starter_program(target version [sources]): one starter build; the
    # scenarios also need a newer starter made from the same sources, and one
    # with further sources that replace its system calls.
    function(zk_starter_program target version)
      add_executable(${target} WIN32 ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/main.cpp ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/paramdata.cpp ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/Lumora1.rc ${ARGN})
      set_target_properties(${target} PROPERTIES OUTPUT_NAME Lumora1)
      zk_shipped_program(${target})
      target_compile_definitions(${target} PRIVATE ZK_UNICODE_CSTRING ZK_HAVE_STARTER_STRINGS)
      target_link_options(${target} PRIVATE -municode)
      target_link_libraries(${target} PRIVATE zkstarter_selfupdate zkstarter_pure zkstarter_intake zkframework
        zkfileversion zkgethttp zkzip_win zkrunparam_starter zkcorecipher zkerrorcodes)
      if(version)
        zk_settings_header(${target} ZK_STARTER_VERSION "${version}")
      endif()
    endfunction()
    zk_starter_program(Lumora1 "")

    # The holder and the launch against the library's in-memory system calls.
    zk_test(starter_paramdata_test
      SOURCES ${CMAKE_CURRENT_LIST_DIR}/paramdata_test.cpp ${CMAKE_CURRENT_LIST_DIR}/paramdata.cpp
      LIBS zkstarter_intake zkrunparam_starter zkcorecipher zktestsupport_runenv)
    target_compile_definitions(starter_paramdata_test PRIVATE ZK_UNICODE_CSTRING)
endif()
