# Result codes and their names: pure, built for both targets.
add_library(zkerrorcodes STATIC errorcodes.cpp errorcodes.h)
target_include_directories(zkerrorcodes PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(zkerrorcodes PUBLIC zkframework)

zk_test(errorcodes_test SOURCES errorcodes_test.cpp LIBS zkerrorcodes)
