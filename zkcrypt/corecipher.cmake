# corecipher: the starter's Triple-DES library, and the single-DES core that
# it shares with the run-parameter library's Triple-DES module.
add_library(zkdescore STATIC ${CMAKE_CURRENT_LIST_DIR}/descore.cpp)

add_library(zkcorecipher STATIC ${CMAKE_CURRENT_LIST_DIR}/corecipher.cpp)
target_link_libraries(zkcorecipher PUBLIC zkdescore)

zk_test(descore_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/descore_test.cpp LIBS zkdescore)
zk_test(corecipher_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/corecipher_test.cpp LIBS zkcorecipher)
