# zkstarter_intake: the starter's parameter intake and error boxes. The
# parsers are pure (also built and tested natively); the clipboard, the
# decryption and the boxes are Windows code.
if(ZK_WINDOWS)
  add_library(zkstarter_intake STATIC
    ${CMAKE_CURRENT_LIST_DIR}/intake.cpp
    ${CMAKE_CURRENT_LIST_DIR}/intake_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/errormessages.cpp)
  target_link_libraries(zkstarter_intake PUBLIC zkframework zkcorecipher)
else()
  add_library(zkstarter_intake STATIC ${CMAKE_CURRENT_LIST_DIR}/intake.cpp)
  target_link_libraries(zkstarter_intake PUBLIC zkframework)
endif()
target_compile_definitions(zkstarter_intake PUBLIC ZK_UNICODE_CSTRING)

zk_test(starter_intake_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/intake_test.cpp LIBS zkstarter_intake)

if(ZK_WINDOWS)
  target_sources(starter_intake_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/intake_win_test.cpp ${CMAKE_CURRENT_LIST_DIR}/strings.rc)
  target_link_libraries(starter_intake_test PRIVATE zktestsupport_win)

  # A resource module whose string table lacks the caption (string 8).
  add_library(starter_messages_nocaption SHARED
    ${CMAKE_CURRENT_LIST_DIR}/messages_nocaption_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/messages_nocaption_test.rc)
  set_target_properties(starter_messages_nocaption PROPERTIES PREFIX "")

  zk_test(starter_messages_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/errormessages_test.cpp ${CMAKE_CURRENT_LIST_DIR}/strings.rc
    LIBS zkstarter_intake zktestsupport_win)
  add_dependencies(starter_messages_test starter_messages_nocaption)
  # Beside the test peers (cliptool, boxwatch), which the tests start from their own folder.
  set_target_properties(starter_intake_test starter_messages_test starter_messages_nocaption PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endif()
