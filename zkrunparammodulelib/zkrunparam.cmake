# The run-parameter library: store, string and formatter, hand-over through the environment.
# Two Windows builds from the same sources: the starter's (sending only, with
# debug traces) and the update wizard's (sending and receiving); natively the
# receiving build without traces, and a traced one, for the tests.
set(zk_runparam_sources
  ${CMAKE_CURRENT_LIST_DIR}/zkstring.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zkrunparammodule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zkrunparam.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zkrunparamhandover.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zkrunenv.cpp)

function(zk_runparam_library name platform_source)
  cmake_parse_arguments(L "RECEIVER;TRACE" "" "" ${ARGN})
  add_library(${name} STATIC ${zk_runparam_sources} ${platform_source})
  target_link_libraries(${name} PUBLIC zktdes)
  if(L_RECEIVER)
    target_compile_definitions(${name} PUBLIC ZK_RUNPARAM_RECEIVER=1)
  endif()
  if(L_TRACE)
    target_compile_definitions(${name} PRIVATE ZK_RUNPARAM_TRACE=1)
    target_sources(${name} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/_zkutil/zklibdebugfunc.cpp)
  endif()
endfunction()

if(ZK_WINDOWS)
  zk_runparam_library(zkrunparam_starter ${CMAKE_CURRENT_LIST_DIR}/zkrunenv_win.cpp TRACE)
  target_sources(zkrunparam_starter PRIVATE ${CMAKE_CURRENT_LIST_DIR}/_zkutil/zklibdebugfunc_win.cpp)
  zk_runparam_library(zkrunparam_wizard ${CMAKE_CURRENT_LIST_DIR}/zkrunenv_win.cpp RECEIVER)
  target_link_libraries(zkrunparam_wizard PUBLIC shell32 user32)
  target_link_libraries(zkrunparam_starter PUBLIC shell32 user32)
  set(zk_runparam_test_library zkrunparam_wizard)
else()
  zk_runparam_library(zkrunparam_native ${CMAKE_CURRENT_LIST_DIR}/zkrunenv_posix.cpp RECEIVER)
  zk_runparam_library(zkrunparam_traced ${CMAKE_CURRENT_LIST_DIR}/zkrunenv_posix.cpp RECEIVER TRACE)
  set(zk_runparam_test_library zkrunparam_native)
endif()

zk_test(zkrunparam_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkstring_test.cpp ${CMAKE_CURRENT_LIST_DIR}/zkrunparammodule_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/zkrunparamhandover_test.cpp
  LIBS ${zk_runparam_test_library} zktestsupport_runenv)

if(NOT ZK_WINDOWS)
  # The starter's trace texts, checked on the traced build with a capturing output.
  zk_test(zkrunparam_trace_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/_zkutil/zklibdebugfunc_test.cpp
    LIBS zkrunparam_traced zktestsupport_runenv)
endif()

if(ZK_WINDOWS)
  # The hand-over between two processes under Wine, and its wire format checked with OpenSSL.
  add_executable(runparam_sender ${CMAKE_CURRENT_LIST_DIR}/zkrunparampeer_sender.cpp)
  target_link_libraries(runparam_sender PRIVATE zkrunparam_wizard)
  add_executable(runparam_receiver ${CMAKE_CURRENT_LIST_DIR}/zkrunparampeer_receiver.cpp)
  target_link_libraries(runparam_receiver PRIVATE zkrunparam_wizard psapi)
  zk_test(zkrunparam_wine_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkrunparamwine_test.cpp LIBS zktestsupport_win zkrunparam_wizard)
  add_dependencies(zkrunparam_wine_test runparam_sender runparam_receiver)
  set_tests_properties(zkrunparam_wine_test PROPERTIES FIXTURES_SETUP zkrunparam_wire)
  # Beside the test peers (cliptool), which the test starts from its own folder.
  set_target_properties(zkrunparam_wine_test runparam_sender runparam_receiver PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME zkrunparam_wire_openssl
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/zkrunparamwire_check.sh $<TARGET_FILE_DIR:zkrunparam_wine_test>/runparam_wire_one.txt
            "<<__defAult_sectIonNAMEbyBrumel=>>;RunMode=a%3db%3bc%25d <x>|y;")
  add_test(NAME zkrunparam_wire_openssl_pair
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/zkrunparamwire_check.sh $<TARGET_FILE_DIR:zkrunparam_wine_test>/runparam_wire_pair.txt
            "<<__defAult_sectIonNAMEbyBrumel=>>;a=x%3by;B=2;")
  set_tests_properties(zkrunparam_wire_openssl zkrunparam_wire_openssl_pair PROPERTIES FIXTURES_REQUIRED zkrunparam_wire)
endif()

# The receiving side with allocations refused on request (its own program, as
# it replaces the global operator new).
zk_test(zkrunparam_nomemory_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/zkrunparam_nomemory_test.cpp
  LIBS ${zk_runparam_test_library} zkcbdata zktestsupport_runenv)
