# The starter's pure pieces (both targets) and the program Lumora1.exe (Windows).
add_library(zkstarter_pure STATIC versiontext.cpp updatebatch.cpp)
target_include_directories(zkstarter_pure PUBLIC ${CMAKE_SOURCE_DIR})

zk_test(starter_versiontext_test SOURCES versiontext_test.cpp LIBS zkstarter_pure)
zk_test(starter_updatebatch_test SOURCES updatebatch_test.cpp LIBS zkstarter_pure)
