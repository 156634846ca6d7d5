# Fuzz driver of the translation table's choice, and its replay over the committed corpus.
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

zk_fuzz_driver(fileversion_translation SOURCES ${CMAKE_CURRENT_LIST_DIR}/fileversioninfo_translation_fuzz.cpp
  LIBS zkfileversiontranslation CORPUS ${CMAKE_CURRENT_LIST_DIR}/testdata/fuzz/fileversion_translation)
