# File version information. The choice of translation is pure and built for
# both targets; the reading of version blocks is Windows code.
add_library(zkfileversiontranslation STATIC fileversioninfo_translation.cpp
  fileversioninfo_translation.h)
target_include_directories(zkfileversiontranslation PUBLIC ${CMAKE_SOURCE_DIR})

zk_test(fileversioninfo_translation_test SOURCES fileversioninfo_translation_test.cpp
  LIBS zkfileversiontranslation)
