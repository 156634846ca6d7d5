# Result codes and their names: pure, built for both targets.
add_library(zkerrorcodes STATIC ${CMAKE_CURRENT_LIST_DIR}/errorcodes.cpp ${CMAKE_CURRENT_LIST_DIR}/errorcodes.h)
target_link_libraries(zkerrorcodes PUBLIC zkframework)

zk_test(errorcodes_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/errorcodes_test.cpp LIBS zkerrorcodes)
